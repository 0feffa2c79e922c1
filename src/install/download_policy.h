#pragma once
// Which addresses the installer may fetch from. The tools it fetches become programs the user
// runs, so they come over HTTPS; plain HTTP is taken only from this computer itself (a local
// mirror, the tests' server), where nobody on the way can change the bytes. A redirect is
// followed only to an HTTPS address, so an HTTPS download never ends on plain HTTP.
#include <string>

enum DownloadAddressKind : int {
  ADDRESS_HTTPS = 0,          // https://host/...
  ADDRESS_LOOPBACK_HTTP = 1,  // http://127.x.x.x, http://localhost or http://[::1]
  ADDRESS_REFUSED = 2,        // plain HTTP to another host, another scheme, or no clear host
};

DownloadAddressKind ClassifyDownloadAddress(const std::wstring& url);

// True when a download may start at url.
bool IsDownloadAddressAllowed(const std::wstring& url);
// True when a download may follow a redirect to url.
bool IsRedirectAllowed(const std::wstring& url);
