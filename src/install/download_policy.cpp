#include "install/download_policy.h"

#include "base/text.h"

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* start, size_t& length) {
  std::wstring prefix(start);
  length = prefix.size();
  return text.size() >= length && ToLowerText(text.substr(0, length)) == prefix;
}

bool IsDigits(const std::wstring& text) {
  return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

// 127.a.b.c written as four plain decimal numbers of at most 255 (no shorter forms, no leading
// zeros, which some resolvers read as octal).
bool IsLoopbackIpv4(const std::wstring& host) {
  std::wstring parts[4];
  size_t count = 0;
  size_t start = 0;
  while (count < 4) {
    size_t dot = host.find(L'.', start);
    parts[count++] = host.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start);
    if (dot == std::wstring::npos) break;
    start = dot + 1;
  }
  if (count != 4 || host.find(L'.', start) != std::wstring::npos) return false;
  for (const std::wstring& part : parts) {
    if (!IsDigits(part) || part.size() > 3 || (part.size() > 1 && part[0] == L'0')) return false;
    if (std::stoi(part) > 255) return false;
  }
  return parts[0] == L"127";
}

bool IsLoopbackHost(const std::wstring& host) {
  return ToLowerText(host) == L"localhost" || host == L"[::1]" || IsLoopbackIpv4(host);
}

// The host of the authority (what lies between "//" and the path), or empty when the authority
// is not a plain host with an optional port: user names, escapes and backslashes are refused,
// so no reading of the address can see another host in it.
std::wstring HostOf(const std::wstring& authority) {
  if (authority.empty() || authority.find_first_of(L"@%\\ \t\r\n") != std::wstring::npos)
    return std::wstring();
  std::wstring host = authority;
  std::wstring port;
  if (authority[0] == L'[') {
    size_t close = authority.find(L']');
    if (close == std::wstring::npos) return std::wstring();
    host = authority.substr(0, close + 1);
    std::wstring rest = authority.substr(close + 1);
    if (!rest.empty() && rest[0] != L':') return std::wstring();
    if (!rest.empty()) port = rest.substr(1);
    if (!rest.empty() && !IsDigits(port)) return std::wstring();
    return host;
  }
  size_t colon = authority.find(L':');
  if (colon != std::wstring::npos) {
    host = authority.substr(0, colon);
    if (!IsDigits(authority.substr(colon + 1))) return std::wstring();
  }
  return host;
}

}  // namespace

DownloadAddressKind ClassifyDownloadAddress(const std::wstring& url) {
  size_t schemeLength = 0;
  bool https = StartsWithNoCase(url, L"https://", schemeLength);
  if (!https && !StartsWithNoCase(url, L"http://", schemeLength)) return ADDRESS_REFUSED;
  size_t end = url.find_first_of(L"/?#", schemeLength);
  std::wstring authority =
      url.substr(schemeLength, end == std::wstring::npos ? std::wstring::npos : end - schemeLength);
  std::wstring host = HostOf(authority);
  if (host.empty()) return ADDRESS_REFUSED;
  if (https) return ADDRESS_HTTPS;
  return IsLoopbackHost(host) ? ADDRESS_LOOPBACK_HTTP : ADDRESS_REFUSED;
}

bool IsDownloadAddressAllowed(const std::wstring& url) {
  return ClassifyDownloadAddress(url) != ADDRESS_REFUSED;
}

bool IsRedirectAllowed(const std::wstring& url) { return ClassifyDownloadAddress(url) == ADDRESS_HTTPS; }
