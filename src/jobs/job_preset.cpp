#include "jobs/job_preset.h"

#include <cwchar>

#include "base/text.h"
#include "jobs/kept_options.h"

namespace {

constexpr const wchar_t* kHeader = L"kestrune preset ";
// A damaged line is named by at most this many of its characters.
constexpr size_t kMostNamed = 40;

// The version of the first line, or -1 when it is not the format's.
int HeaderVersion(const std::wstring& line) {
  uint32_t version = 0;
  if (line.compare(0, wcslen(kHeader), kHeader) != 0 || !ParseUint32(line.substr(wcslen(kHeader)), version) ||
      version == 0 || version > 1000000)
    return -1;
  return static_cast<int>(version);
}

// Takes one "name=value" line into settings: 1 taken, 0 a name this version does not know, -1
// damaged.
int TakeLine(const std::wstring& line, JobSettings& settings) {
  size_t equals = line.find(L'=');
  if (equals == std::wstring::npos) return -1;
  int index = FindKeptOption(line.substr(0, equals));
  if (index < 0) return 0;
  std::wstring raw = line.substr(equals + 1);
  CKeptValue value;
  bool read = false;
  if (KeptOption(static_cast<size_t>(index)).kind == KEPT_TEXT) {
    read = raw.size() >= 2 && raw.front() == L'"' && raw.back() == L'"' &&
           PercentUnescape(raw.substr(1, raw.size() - 2), value.text);
  } else {
    read = ParseUint32(raw, value.number);
  }
  return read && TakeKeptValue(static_cast<size_t>(index), value, settings) ? 1 : -1;
}

}  // namespace

std::wstring PresetText(const JobSettings& settings) {
  std::wstring text = kHeader + std::to_wstring(kPresetFormatVersion) + L"\n";
  for (size_t i = 0; i < KeptOptionCount(); ++i) {
    CKeptValue value;
    if (!KeptValueOf(settings, i, value)) continue;
    text += KeptOption(i).name;
    text += L'=';
    text += KeptOption(i).kind == KEPT_TEXT ? L"\"" + PercentEscape(value.text, IsLineChar) + L"\""
                                            : std::to_wstring(value.number);
    text += L'\n';
  }
  return text;
}

bool ApplyPresetText(const std::wstring& text, JobSettings& settings, std::vector<std::wstring>& damaged) {
  damaged.clear();
  const std::vector<std::wstring_view> lines = TextLines(text);
  int version = HeaderVersion(lines.empty() ? std::wstring() : std::wstring(lines[0]));
  if (version < 0) return false;
  JobSettings taken = settings;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::wstring line(lines[i]);
    if (line.empty()) continue;
    int result = TakeLine(line, taken);
    // A name this version does not know is damage only in a preset of this version or older.
    if (result < 0 || (result == 0 && version <= kPresetFormatVersion)) {
      size_t equals = line.find(L'=');
      std::wstring named = equals == std::wstring::npos ? line : line.substr(0, equals);
      damaged.push_back(named.size() > kMostNamed ? named.substr(0, kMostNamed) + L"..." : named);
    }
  }
  settings = taken;
  return true;
}
