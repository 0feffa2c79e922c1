#include "install/file_down.h"

#include "base/trace.h"
#include "install/installer.h"

DownloadStatus FileDownTraced(const std::wstring& url, const std::wstring& path) {
  DownloadStatus status = DownloadToFile(url, path);
  DebugLog(L"FileDown-ret=%d, %s \n%s", status == DOWNLOAD_OK ? 1 : 0, url, path);
  return status;
}

bool FileDown(const std::wstring& url, const std::wstring& path) {
  return FileDownTraced(url, path) == DOWNLOAD_OK;
}
