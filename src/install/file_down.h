#pragma once
// The download of one file, as the platform does it (libcurl, or WinINet on Windows), under
// the rules of download_policy.h.
#include <string>

enum DownloadStatus : int {
  DOWNLOAD_OK = 0,
  DOWNLOAD_FAILED = 1,            // no answer, an error answer, or the file could not be written
  DOWNLOAD_REFUSED_ADDRESS = 2,   // the address itself is not allowed (plain HTTP to another host)
  DOWNLOAD_REFUSED_REDIRECT = 3,  // the host sent the download on to an address that is not HTTPS
};

// Downloads url into the file path. The download lands beside it under a temporary name and
// takes path's name only when complete (replacing a file there), so a failed download leaves
// no partial file. Not traced.
DownloadStatus DownloadToFile(const std::wstring& url, const std::wstring& path);

// DownloadToFile, traced "FileDown-ret=%d, %s \n%s" with 1 for success, the address, the path.
DownloadStatus FileDownTraced(const std::wstring& url, const std::wstring& path);
