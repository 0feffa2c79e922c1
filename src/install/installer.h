#pragma once
// The missing-tool installer: the texts of the install dialog and the work of its Install
// button (download the archives into the program folder, check them against the host's SHA-256
// list, join, unpack, look the program up again). Everything blocks the calling thread.
#include <cstdint>
#include <string>

#include "base/texts.h"

enum InstallMode : int32_t { INSTALL_NONE = 0, INSTALL_FFMPEG = 1, INSTALL_MEDIAINFO = 2 };

// Why an install did not end with the program in place.
enum InstallRefusalKind : int32_t {
  REFUSAL_NONE = 0,
  REFUSAL_ADDRESS_NOT_HTTPS = 1,        // subject: the download address
  REFUSAL_DOWNLOAD_FAILED = 2,          // subject: the address that could not be fetched
  REFUSAL_REDIRECT_NOT_HTTPS = 3,       // subject: the address that was redirected
  REFUSAL_CHECKSUM_LIST_MISSING = 4,    // subject: the list's address
  REFUSAL_CHECKSUM_NOT_LISTED = 5,      // subject: the archive's name
  REFUSAL_CHECKSUM_MISMATCH = 6,        // subject: the archive's name
  REFUSAL_NAME_TAKEN = 7,               // subject: the name of a file of the user's in the way
  REFUSAL_WRITE_FAILED = 8,             // subject: the program folder
  REFUSAL_ARCHIVE_DAMAGED = 9,          // subject: the archive's name
  REFUSAL_PROGRAM_NOT_IN_ARCHIVE = 10,  // subject: the archive's name; program: what it lacks
  REFUSAL_MEMBER_TOO_LARGE = 11,        // subject: the member that holds more than it declares
  REFUSAL_ARCHIVE_TOO_LARGE = 12,       // subject: the archive's name
  REFUSAL_RESERVED_NAME = 13,           // subject: the member's name
  REFUSAL_NOT_ACCEPTED = 14,            // subject: the archive's name (its sum is none this release takes)
};

struct CInstallRefusal {
  InstallRefusalKind kind = REFUSAL_NONE;
  std::wstring subject;
  std::wstring program;
};

// The text of the dialog's message (static 1047); empty for other modes.
std::wstring InstallMessageText(int32_t mode, int32_t uiLanguage);
// The caption for the Install button (1046) for mode 1; empty means leave it unchanged.
std::wstring InstallButtonCaption(int32_t mode, int32_t uiLanguage);
// Why the install failed, in the user's language, to show below the outcome; empty for none.
std::wstring InstallRefusalText(const CInstallRefusal& refusal, int32_t uiLanguage);

// Installs the program of mode into the program folder (which becomes the current directory)
// and returns the outcome to show: "OK! 설치 완료" when it was already there (nothing is
// downloaded), "OK! 설치 성공" or "Error!! 설치 실패"; empty for other modes. With a failure,
// refusal (when given) says why. An archive is unpacked only when its sum is one the release
// accepts (download_sums.h), after the host's own SHA-256 list has checked it. A failed
// install leaves the folder as it was: what it wrote goes, and a file of an earlier install it
// replaced comes back. What a successful one writes is named in the folder's download record,
// and no install ever replaces a file it did not write.
std::wstring RunInstall(int32_t mode, CInstallRefusal* refusal = nullptr);

// Downloads url into the file path; true on success. The file appears under its name only
// complete: a failed download leaves no partial file there.
bool FileDown(const std::wstring& url, const std::wstring& path);
