#include "install/file_down.h"

#include "base/file_util.h"
#include "base/trace.h"
#include "install/download_policy.h"
#include "install/install_files.h"
#include "install/installer.h"

namespace {

// The folder part of path, with its separator; empty for a bare name (the current folder).
std::wstring FolderOf(const std::wstring& path) {
#ifdef _WIN32
  size_t separator = path.find_last_of(L"\\/");
#else
  size_t separator = path.rfind(L'/');
#endif
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

}  // namespace

DownloadStatus DownloadToFile(const std::wstring& url, const std::wstring& path) {
  if (!IsDownloadAddressAllowed(url)) return DOWNLOAD_REFUSED_ADDRESS;
  std::wstring partial;
  std::FILE* file = CreateTempFileIn(FolderOf(path), partial);
  if (file == nullptr) return DOWNLOAD_FAILED;
  DownloadStatus status = FetchToFile(url, file);
  if (!CloseWrittenFile(file) && status == DOWNLOAD_OK) status = DOWNLOAD_FAILED;
  if (status == DOWNLOAD_OK && !MoveIntoPlace(partial, path, true)) status = DOWNLOAD_FAILED;
  if (status != DOWNLOAD_OK) RemoveFile(partial);
  return status;
}

void TraceFileDown(DownloadStatus status, const std::wstring& url, const std::wstring& path) {
  DebugLog(L"FileDown-ret=%d, %s \n%s", status == DOWNLOAD_OK ? 1 : 0, url, path);
}

bool FileDown(const std::wstring& url, const std::wstring& path) {
  DownloadStatus status = DownloadToFile(url, path);
  TraceFileDown(status, url, path);
  return status == DOWNLOAD_OK;
}
