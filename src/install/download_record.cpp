#include "install/download_record.h"

#include <cstdio>

#include "base/file_util.h"
#include "base/text.h"
#include "install/install_files.h"

namespace {

constexpr const wchar_t* kHeader =
    L"# Files Kestrune downloaded into this folder; its uninstaller removes them (and nothing else).";
constexpr size_t kMaxRecordBytes = 1 << 20;

// wchar_t is UTF-16 on Windows and UTF-32 elsewhere; the file is UTF-16LE on both.
std::string ToUtf16Le(const std::wstring& text) {
  std::string bytes;
  auto put = [&bytes](unsigned unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  };
  for (wchar_t c : text) {
    unsigned code = static_cast<unsigned>(c);
    if (code > 0xFFFF) {
      code -= 0x10000;
      put(0xD800 + (code >> 10));
      put(0xDC00 + (code & 0x3FF));
    } else {
      put(code);
    }
  }
  return bytes;
}

std::wstring FromUtf16Le(const std::string& bytes) {
  std::wstring text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    unsigned unit = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (sizeof(wchar_t) == 4 && unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      unsigned low =
          static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
      if (low >= 0xDC00 && low < 0xE000) {
        text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    text += static_cast<wchar_t>(unit);
  }
  return text;
}

bool SameName(const std::wstring& a, const std::wstring& b) { return ToLowerText(a) == ToLowerText(b); }

}  // namespace

bool IsPlainFileName(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  for (wchar_t c : name) {
    if (c < 32 || std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos) return false;
  }
  // A device's name, or one whose trailing dot or blank Windows drops, would not be the file
  // recorded.
  return !IsWindowsReservedName(name);
}

CDownloadRecord::CDownloadRecord(const std::wstring& folder) : folder_(folder) {
  std::FILE* in = OpenBinaryFile(folder + kDownloadRecordName);
  if (in == nullptr) return;
  std::string content(kMaxRecordBytes, '\0');
  content.resize(std::fread(&content[0], 1, content.size(), in));
  std::fclose(in);
  std::wstring text = FromUtf16Le(content);
  std::wstring header = std::wstring(1, wchar_t(0xFEFF)) + kHeader;
  if (text.compare(0, header.size(), header) != 0) {
    foreign_ = true;
    return;
  }
  // The first line is the header; every other line that is a plain name is one.
  size_t start = text.find(L'\n');
  while (start != std::wstring::npos && start < text.size()) {
    size_t end = text.find(L'\n', start + 1);
    std::wstring line =
        text.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start - 1);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (IsPlainFileName(line) && !Holds(line)) names_.push_back(line);
    start = end;
  }
}

bool CDownloadRecord::Holds(const std::wstring& name) const {
  for (const std::wstring& held : names_) {
    if (SameName(held, name)) return true;
  }
  return false;
}

bool CDownloadRecord::Add(const std::vector<std::wstring>& names) {
  if (foreign_) return false;
  std::vector<std::wstring> all = names_;
  for (const std::wstring& name : names) {
    bool held = false;
    for (const std::wstring& kept : all) held = held || SameName(kept, name);
    if (!held && IsPlainFileName(name)) all.push_back(name);
  }
  std::wstring text = std::wstring(1, wchar_t(0xFEFF)) + kHeader + L"\r\n";
  for (const std::wstring& name : all) text += name + L"\r\n";
  std::wstring temp;
  std::FILE* file = CreateTempFileIn(folder_, temp);
  if (file == nullptr) return false;
  std::string bytes = ToUtf16Le(text);
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  written = CloseWrittenFile(file) && written;
  if (!written || !MoveIntoPlace(temp, folder_ + kDownloadRecordName, true)) {
    RemoveFile(temp);
    return false;
  }
  names_ = all;
  return true;
}
