#include "jobs/job_preset.h"

#include <cwchar>

#include "jobs/kept_options.h"

namespace {

constexpr const wchar_t* kHeader = L"kestrune preset ";
// A damaged line is named by at most this many of its characters.
constexpr size_t kMostNamed = 40;

std::wstring EncodeText(const std::wstring& text) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'%' || c < 0x20 || c == 0x7F) {
      out += L'%';
      out += digits[(c >> 4) & 15];
      out += digits[c & 15];
    } else {
      out += c;
    }
  }
  return out;
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

bool DecodeText(const std::wstring& text, std::wstring& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    int high = HexValue(text[i + 1]);
    int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<wchar_t>(high * 16 + low);
    i += 2;
  }
  return true;
}

bool ParseNumber(const std::wstring& text, uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t number = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    number = number * 10 + static_cast<uint64_t>(c - L'0');
  }
  if (number > 0xFFFFFFFFull) return false;
  value = static_cast<uint32_t>(number);
  return true;
}

// The version of the first line, or -1 when it is not the format's.
int HeaderVersion(const std::wstring& line) {
  uint32_t version = 0;
  if (line.compare(0, wcslen(kHeader), kHeader) != 0 || !ParseNumber(line.substr(wcslen(kHeader)), version) ||
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
           DecodeText(raw.substr(1, raw.size() - 2), value.text);
  } else {
    read = ParseNumber(raw, value.number);
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
    text += KeptOption(i).kind == KEPT_TEXT ? L"\"" + EncodeText(value.text) + L"\""
                                            : std::to_wstring(value.number);
    text += L'\n';
  }
  return text;
}

bool ApplyPresetText(const std::wstring& text, JobSettings& settings, std::vector<std::wstring>& damaged) {
  damaged.clear();
  size_t end = text.find(L'\n');
  int version = HeaderVersion(text.substr(0, end == std::wstring::npos ? text.size() : end));
  if (version < 0) return false;
  JobSettings taken = settings;
  while (end != std::wstring::npos && end < text.size()) {
    size_t start = end + 1;
    end = text.find(L'\n', start);
    std::wstring line = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
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
