#include "cli/media_json.h"

#include <cmath>

#include "base/format.h"

namespace {
std::wstring Field(const wchar_t* name, const std::wstring& jsonValue) {
  return Sprintf(L"\"%s\":%s", name, jsonValue);
}

std::wstring Number(int64_t value) { return Sprintf(L"%d", value); }

std::wstring Real(double value) { return Sprintf(L"%.3f", std::isfinite(value) ? value : 0.0); }

std::wstring VideoJson(const VideoTrackDesc& video) {
  return L"{" + Field(L"streamSize", Number(video.streamSize)) + L"," +
         Field(L"durationSec", Number(video.durationSec)) + L"," + Field(L"codec", Number(video.codec)) +
         L"," + Field(L"codecName", JsonString(CodecName(video.codec))) + L"," +
         Field(L"bitRate", Number(video.bitRate)) + L"," + Field(L"width", Number(video.width)) + L"," +
         Field(L"height", Number(video.height)) + L"," + Field(L"frameRate", Real(video.frameRate)) + L"," +
         Field(L"bitDepth", Number(video.bitDepth)) + L"}";
}

std::wstring AudioJson(const AudioTrackDesc& audio) {
  return L"{" + Field(L"streamSize", Number(audio.streamSize)) + L"," +
         Field(L"durationSec", Number(audio.durationSec)) + L"," + Field(L"codec", Number(audio.codec)) +
         L"," + Field(L"codecName", JsonString(CodecName(audio.codec))) + L"," +
         Field(L"bitRate", Number(audio.bitRate)) + L"," + Field(L"channels", Number(audio.channels)) + L"," +
         Field(L"language", Number(audio.language)) + L"," +
         Field(L"languageName", JsonString(LanguageName(audio.language))) + L"}";
}
}  // namespace

std::wstring JsonString(const std::wstring& text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    switch (c) {
      case L'"':
        out += L"\\\"";
        break;
      case L'\\':
        out += L"\\\\";
        break;
      case L'\n':
        out += L"\\n";
        break;
      case L'\r':
        out += L"\\r";
        break;
      case L'\t':
        out += L"\\t";
        break;
      default:
        if (c < 0x20)
          out += Sprintf(L"\\u%04x", static_cast<int>(c));
        else
          out += c;
    }
  }
  return out + L"\"";
}

std::wstring FormatMediaJson(const MediaDesc& media) {
  int count = media.audioCount < 0                  ? 0
              : media.audioCount > MAX_AUDIO_TRACKS ? MAX_AUDIO_TRACKS
                                                    : media.audioCount;
  std::wstring audio = L"[";
  for (int i = 0; i < count; ++i) audio += (i ? L"," : L"") + AudioJson(media.audio[i]);
  audio += L"]";
  return L"{" + Field(L"filePath", JsonString(media.filePath)) + L"," +
         Field(L"fileSize", Number(media.fileSize)) + L"," +
         Field(L"durationSec", Number(media.durationSec)) + L"," + Field(L"video", VideoJson(media.video)) +
         L"," + Field(L"audioCount", Number(media.audioCount)) + L"," + Field(L"audio", audio) + L"," +
         Field(L"subtitleCount", Number(media.subtitleCount)) + L"}";
}
