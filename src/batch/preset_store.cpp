#include "batch/preset_store.h"

#include <algorithm>

#include "base/texts.h"
#include "jobs/job_preset.h"
#include "jobs/kept_options.h"

namespace {

constexpr const wchar_t* kPresetPrefix = L"preset.";
constexpr size_t kPrefixLength = 7;
// Read as missing: a number out of range is not kept.
constexpr uint32_t kNoValue = 0xFFFFFFFF;

struct CBuiltInPreset {
  TextId name;
  const wchar_t* text;
};

// What they hold is the encoding; the GPU, the output folder and the dates stay the user's.
const CBuiltInPreset kBuiltIns[] = {
    // H.264 in 8-bit 4:2:0 at 2000 kb/s in MP4, stereo AAC: what every phone plays.
    {TXT_PRESET_PHONE,
     L"kestrune preset 1\nopt_job=3\nopt_output_codec=1\nopt_video_bitrate_on=1\nopt_video_bitrate=2000\n"
     L"opt_quantizer_on=0\nopt_copy_video=0\nopt_mp4=1\nopt_mkv=0\nopt_scale1080=0\nopt_pixel_format=1\n"
     L"opt_all_tracks=1\nopt_copy_audio=0\nopt_audio_bitrate=128\nopt_downmix=1\nopt_force_audio=0\n"
     L"opt_aac=1\nopt_mp3_audio=0\n"},
    // The picture as it is; every audio track encoded to AAC, low rates too.
    {TXT_PRESET_COPY_VIDEO_AAC,
     L"kestrune preset 1\nopt_job=3\nopt_output_codec=1\nopt_copy_video=1\nopt_mp4=0\nopt_mkv=0\n"
     L"opt_scale1080=0\nopt_all_tracks=1\nopt_copy_audio=0\nopt_audio_bitrate=192\nopt_downmix=0\n"
     L"opt_force_audio=1\nopt_aac=1\nopt_mp3_audio=0\n"},
};

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameName(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

const CBuiltInPreset* FindBuiltIn(const std::wstring& name) {
  for (const CBuiltInPreset& preset : kBuiltIns) {
    if (SameName(name, Text(preset.name, kUiLanguageKorean)) ||
        SameName(name, Text(preset.name, kUiLanguageEnglish)))
      return &preset;
  }
  return nullptr;
}

bool IsSoundName(const std::wstring& name) {
  if (name.empty() || name.size() > kMostPresetNameChars) return false;
  return std::none_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; });
}

std::wstring ValueName(const std::wstring& name) { return kPresetPrefix + name; }

}  // namespace

bool IsBuiltInPreset(const std::wstring& name) { return FindBuiltIn(name) != nullptr; }

std::vector<CPresetEntry> ListPresets(CRegistryStore& store, int32_t uiLanguage) {
  std::vector<CPresetEntry> presets;
  for (const CBuiltInPreset& preset : kBuiltIns) presets.push_back({Text(preset.name, uiLanguage), true});
  std::vector<std::wstring> saved;
  for (const std::wstring& value : store.ValueNames()) {
    if (value.size() <= kPrefixLength || !SameName(value.substr(0, kPrefixLength), kPresetPrefix)) continue;
    std::wstring name = value.substr(kPrefixLength);
    // A value some other hand put there under a name no save would take is left alone.
    if (IsSoundName(name) && !IsBuiltInPreset(name)) saved.push_back(name);
  }
  std::sort(saved.begin(), saved.end());
  for (const std::wstring& name : saved) presets.push_back({name, false});
  return presets;
}

PresetStatus LoadPreset(CRegistryStore& store, const std::wstring& name, JobSettings& settings,
                        std::vector<std::wstring>& damaged) {
  damaged.clear();
  std::wstring text;
  if (const CBuiltInPreset* builtIn = FindBuiltIn(name)) {
    text = builtIn->text;
  } else if (!IsSoundName(name) || !store.GetText(ValueName(name), text)) {
    return PRESET_UNKNOWN;
  }
  return ApplyPresetText(text, settings, damaged) ? PRESET_OK : PRESET_DAMAGED;
}

PresetStatus SavePreset(CRegistryStore& store, const std::wstring& name, const JobSettings& settings,
                        bool replace) {
  if (!IsSoundName(name)) return PRESET_BAD_NAME;
  if (IsBuiltInPreset(name)) return PRESET_BUILT_IN;
  std::wstring existing;
  if (!replace && store.GetText(ValueName(name), existing)) return PRESET_EXISTS;
  return store.SetText(ValueName(name), PresetText(settings)) == 0 ? PRESET_OK : PRESET_STORE_FAILED;
}

PresetStatus DeletePreset(CRegistryStore& store, const std::wstring& name) {
  if (IsBuiltInPreset(name)) return PRESET_BUILT_IN;
  std::wstring text;
  if (!IsSoundName(name) || !store.GetText(ValueName(name), text)) return PRESET_UNKNOWN;
  // One the machine's key holds, which this user cannot change, is still there after.
  if (store.DeleteValue(ValueName(name)) != 0 || store.GetText(ValueName(name), text))
    return PRESET_STORE_FAILED;
  return PRESET_OK;
}

void SaveKeptOptions(CRegistryStore& store, const JobSettings& settings) {
  for (size_t i = 0; i < KeptOptionCount(); ++i) {
    const CKeptOption& option = KeptOption(i);
    CKeptValue value;
    const bool sound = KeptValueOf(settings, i, value);
    if (option.kind == KEPT_TEXT) {
      store.SetText(option.name, value.text);
    } else {
      store.SetInt(option.name, sound ? value.number : kNoValue);
    }
  }
}

void RestoreKeptOptions(CRegistryStore& store, JobSettings& settings) {
  for (size_t i = 0; i < KeptOptionCount(); ++i) {
    const CKeptOption& option = KeptOption(i);
    CKeptValue value;
    if (option.kind == KEPT_TEXT) {
      if (store.GetText(option.name, value.text)) TakeKeptValue(i, value, settings);
    } else if (store.GetInt(option.name, value.number) != -1) {
      TakeKeptValue(i, value, settings);
    }
  }
}
