#pragma once
// The list of SHA-256 sums the download host publishes beside the archives, in the format of
// the sha256sum tool: one "<64 hex digits>  <file name>" per line (" *<name>" for binary mode
// is read the same); blank lines and lines starting with "#" are passed over.
#include <map>
#include <string>

constexpr const wchar_t* kChecksumListName = L"SHA256SUMS";

enum ChecksumCheck : int {
  CHECKSUM_MATCH = 0,
  CHECKSUM_MISMATCH = 1,  // listed with another sum (or with two different sums)
  CHECKSUM_NOT_LISTED = 2,
};

class CChecksumList {
 public:
  // Reads the list's text; false when it holds no valid line (an error page, an empty file).
  bool Parse(const std::string& text);
  // Checks a file's sum (64 hexadecimal digits, any case) by its name on the host.
  ChecksumCheck Check(const std::wstring& name, const std::string& sha256Hex) const;

 private:
  // Lower-case sums by file name; a name listed with two different sums keeps an empty one.
  std::map<std::wstring, std::string> sums_;
};
