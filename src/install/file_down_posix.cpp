#include <curl/curl.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <mutex>

#include "base/file_util.h"
#include "base/text.h"
#include "base/trace.h"
#include "install/installer.h"

namespace {

size_t WriteToFile(char* data, size_t size, size_t count, void* target) {
  int fd = *static_cast<int*>(target);
  size_t total = size * count;
  size_t done = 0;
  while (done < total) {
    ssize_t put = write(fd, data + done, total - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return 0;  // a short count makes libcurl abort the transfer
    done += static_cast<size_t>(put);
  }
  return total;
}

// Fetches url into the open file; true when the whole resource arrived with a success status.
bool Fetch(const std::string& url, int fd) {
  static std::once_flag globalInit;
  std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return false;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &fd);
  // An error page is not the archive.
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  // The caller blocks: give up on a host that does not answer or a transfer that stalls.
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kestrune");
  CURLcode result = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return result == CURLE_OK;
}

}  // namespace

bool FileDown(const std::wstring& url, const std::wstring& path) {
  // The download lands beside the target under a temporary name and takes the target's name
  // only when complete, so an interrupted download never passes for the archive.
  std::string target = PathToNative(path);
  std::string partial = target + ".download";
  bool ok = false;
  int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd >= 0) {
    ok = Fetch(WideToUtf8(url), fd);
    if (close(fd) != 0) ok = false;
    if (ok && rename(partial.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) unlink(partial.c_str());
  }
  DebugLog(L"FileDown-ret=%d, %s \n%s", ok ? 1 : 0, url, path);
  return ok;
}
