#pragma once
// The SHA-256 sums of the tool archives the program accepts. The host's SHA256SUMS only says
// that a download arrived as the host published it; whether the program may unpack it and run
// what it holds is decided here. An archive is accepted when its sum is one this release was
// built with (src/install/release_archive_sums.txt) or one an administrator set for this
// computer: the text value download_sums under HKEY_LOCAL_MACHINE\Software\Kestrune (an
// organisation that mirrors builds of its own). Neither the user's settings nor the
// environment can add a sum.
#include <set>
#include <string>

#include "base/registry_store.h"

constexpr const wchar_t* kDownloadSumsSetting = L"download_sums";

class CAcceptedSums {
 public:
  // Adds the sums of a list in the format sha256sum writes ("<64 hex digits>  <name>" lines;
  // blank lines and "#" lines are passed over): the release's list. The number of sums read.
  size_t AddList(const std::string& text);
  // Adds the sums of the machine's setting: each 64 hexadecimal digits, apart by blanks, commas,
  // semicolons or line breaks (anything else is passed over). The number of sums read.
  size_t AddSetting(const std::wstring& text);
  // True when the sum (64 hexadecimal digits, any case) is one of them.
  bool Accepts(const std::string& sha256Hex) const;
  bool Empty() const { return sums_.empty(); }

 private:
  std::set<std::string> sums_;  // lower case
};

// The sums accepted now: the release's own and those of download_sums under
// HKEY_LOCAL_MACHINE\settingsKey (read there alone; there is none on POSIX).
CAcceptedSums AcceptedDownloadSums(const std::wstring& settingsKey = kRegistryKeyPath);

// Tests only: list stands for the release's own list from now on, in the format the build
// reads; nullptr brings back the list the program was built with.
void ReplaceReleaseSumsForTesting(const std::string* list);
