#include <curl/curl.h>
#include <errno.h>
#include <stdio.h>
#include <unistd.h>

#include <mutex>

#include "base/text.h"
#include "install/download_policy.h"
#include "install/file_down.h"

namespace {

constexpr int kMaxRedirects = 10;

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

// One request for url into the open file. Redirects are not followed here: the address the
// host sends the download on to is left in redirect, to be judged before it is asked.
bool FetchOnce(const std::string& url, int fd, std::string& redirect) {
  static std::once_flag globalInit;
  std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  redirect.clear();
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return false;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &fd);
  // An error page is not the archive.
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  // The caller blocks: give up on a host that does not answer or a transfer that stalls.
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kestrune");
  CURLcode result = curl_easy_perform(curl);
  long code = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
  char* location = nullptr;
  if (result == CURLE_OK && code >= 300 && code < 400 &&
      curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location != nullptr) {
    redirect = location;
  }
  curl_easy_cleanup(curl);
  return result == CURLE_OK && (code == 0 || (code >= 200 && code < 300) || !redirect.empty());
}

}  // namespace

DownloadStatus FetchToFile(const std::wstring& url, std::FILE* file) {
  // Written through the descriptor alone, so nothing waits in the stream's buffer.
  int fd = fileno(file);
  std::string address = WideToUtf8(url);
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    std::string redirect;
    if (!FetchOnce(address, fd, redirect)) return DOWNLOAD_FAILED;
    if (redirect.empty()) return DOWNLOAD_OK;
    if (!IsRedirectAllowed(Utf8ToWide(redirect))) return DOWNLOAD_REFUSED_REDIRECT;
    // The redirect's own body is not the file.
    if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0) return DOWNLOAD_FAILED;
    address = redirect;
  }
  return DOWNLOAD_FAILED;
}
