#include <windows.h>
#include <wininet.h>

#include "install/download_policy.h"
#include "install/file_down.h"

// The download goes through WinINet, one request per address, with its redirects not followed
// by the library: each address a host sends the download on to is judged before it is asked
// (urlmon's URLDownloadToFileW follows them by itself, and not every implementation reports
// them to its callback). WinINet keeps the system's proxy settings and checks HTTPS
// certificates as the system does.
namespace {

constexpr int kMaxRedirects = 10;
constexpr DWORD kConnectTimeoutMs = 30000;
constexpr DWORD kReceiveTimeoutMs = 60000;

class CInternetHandle {
 public:
  explicit CInternetHandle(HINTERNET handle) : handle_(handle) {}
  ~CInternetHandle() {
    if (handle_ != nullptr) InternetCloseHandle(handle_);
  }
  CInternetHandle(const CInternetHandle&) = delete;
  CInternetHandle& operator=(const CInternetHandle&) = delete;
  HINTERNET Get() const { return handle_; }

 private:
  HINTERNET handle_;
};

bool QueryNumber(HINTERNET request, DWORD what, DWORD& value) {
  DWORD size = sizeof value;
  return HttpQueryInfoW(request, what | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) != FALSE;
}

// The absolute address of a Location header, which may be relative to the address asked.
bool RedirectTarget(HINTERNET request, const std::wstring& url, std::wstring& target) {
  wchar_t location[4096] = {0};
  DWORD size = sizeof location;
  if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) return false;
  wchar_t combined[4096] = {0};
  DWORD length = 4096;
  if (!InternetCombineUrlW(url.c_str(), location, combined, &length, ICU_NO_ENCODE)) return false;
  target = combined;
  return true;
}

// Writes the answer's body into file; false when it breaks off or cannot be written.
bool SaveBody(HINTERNET request, std::FILE* file) {
  DWORD expected = 0;
  bool knowsLength = QueryNumber(request, HTTP_QUERY_CONTENT_LENGTH, expected);
  static thread_local char buffer[1 << 16];
  unsigned long long total = 0;
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request, buffer, sizeof buffer, &got)) return false;
    if (got == 0) break;
    if (std::fwrite(buffer, 1, got, file) != got) return false;
    total += got;
  }
  return !knowsLength || total == expected;
}

DownloadStatus Fetch(HINTERNET session, std::wstring url, std::FILE* file) {
  const DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                      INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    CInternetHandle request(InternetOpenUrlW(session, url.c_str(), nullptr, 0, flags, 0));
    DWORD code = 0;
    if (request.Get() == nullptr || !QueryNumber(request.Get(), HTTP_QUERY_STATUS_CODE, code)) {
      return DOWNLOAD_FAILED;
    }
    if (code >= 300 && code < 400) {
      std::wstring target;
      if (!RedirectTarget(request.Get(), url, target)) return DOWNLOAD_FAILED;
      if (!IsRedirectAllowed(target)) return DOWNLOAD_REFUSED_REDIRECT;
      url = target;
      continue;
    }
    // An error page is not the archive.
    if (code < 200 || code >= 300) return DOWNLOAD_FAILED;
    return SaveBody(request.Get(), file) ? DOWNLOAD_OK : DOWNLOAD_FAILED;
  }
  return DOWNLOAD_FAILED;
}

}  // namespace

DownloadStatus FetchToFile(const std::wstring& url, std::FILE* file) {
  CInternetHandle session(InternetOpenW(L"Kestrune", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (session.Get() == nullptr) return DOWNLOAD_FAILED;
  // The caller blocks: give up on a host that does not answer or a transfer that stalls.
  DWORD connect = kConnectTimeoutMs, receive = kReceiveTimeoutMs;
  InternetSetOptionW(session.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  InternetSetOptionW(session.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
  return Fetch(session.Get(), url, file);
}
