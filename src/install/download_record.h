#pragma once
// The record of the files the installer wrote into the program folder (archives and what it
// unpacked from them), so that the uninstaller removes exactly those and nothing of the user's,
// and so that a later install may replace them. It is the file kestrune-downloads.txt in the
// program folder: UTF-16LE text (as the setup's uninstaller reads it), lines ending in CR LF,
// a first line starting with a byte-order mark and "#" that says what the file is, then one
// plain file name per line.
#include <string>
#include <vector>

constexpr const wchar_t* kDownloadRecordName = L"kestrune-downloads.txt";

class CDownloadRecord {
 public:
  // Reads the record of folder (trailing separator); none yet is an empty record.
  explicit CDownloadRecord(const std::wstring& folder);

  // True when name was written by an earlier install (compared as Windows compares names).
  bool Holds(const std::wstring& name) const;
  // Adds the names not yet held and writes the record anew (whole, under a temporary name
  // first); false when it cannot be written.
  bool Add(const std::vector<std::wstring>& names);
  const std::vector<std::wstring>& Names() const { return names_; }
  // True when a file of the record's name is there but was not written as a record (its first
  // line is not the record's): it is the user's, and is never replaced.
  bool Foreign() const { return foreign_; }

 private:
  std::wstring folder_;
  bool foreign_ = false;
  std::vector<std::wstring> names_;
};

// What a recorded line may be: one plain file name, nothing the uninstaller could read as a
// path leading out of the folder, and no name Windows reserves (IsWindowsReservedName).
bool IsPlainFileName(const std::wstring& name);
