#pragma once
// The download of one file, as the platform does it (libcurl, or WinINet on Windows), under
// the rules of download_policy.h.
#include <cstdio>
#include <string>

enum DownloadStatus : int {
  DOWNLOAD_OK = 0,
  DOWNLOAD_FAILED = 1,            // no answer, an error answer, or the file could not be written
  DOWNLOAD_REFUSED_ADDRESS = 2,   // the address itself is not allowed (plain HTTP to another host)
  DOWNLOAD_REFUSED_REDIRECT = 3,  // the host sent the download on to an address that is not HTTPS
};

// Downloads url into the file path. The download lands in a file of path's folder made for it
// alone (a fresh name, created exclusively, so no file of the user's is ever written or
// removed on the way) and takes path's name only when complete, replacing a file there: a
// failed download leaves no partial file. Not traced.
DownloadStatus DownloadToFile(const std::wstring& url, const std::wstring& path);

// The trace of one download: "FileDown-ret=%d, %s \n%s" with 1 for success, the address and
// the path the file gets.
void TraceFileDown(DownloadStatus status, const std::wstring& url, const std::wstring& path);

// The platform's transfer (file_down_win32.cpp, file_down_posix.cpp): the body of url into the
// open file, redirects judged by download_policy.h before they are followed.
DownloadStatus FetchToFile(const std::wstring& url, std::FILE* file);
