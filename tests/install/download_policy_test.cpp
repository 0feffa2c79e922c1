// Which addresses the installer fetches from and follows redirects to.
#include "install/download_policy.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

TEST(DownloadPolicy, HttpsAnywherePlainHttpOnlyFromThisComputer) {
  const struct {
    const wchar_t* url;
    DownloadAddressKind kind;
  } cases[] = {
      {L"https://download.kestrune.org/tools/ffmpeg.zip.001", ADDRESS_HTTPS},
      {L"HTTPS://Mirror.Example:8443/t/", ADDRESS_HTTPS},
      {L"https://[2001:db8::1]/t/", ADDRESS_HTTPS},
      {L"http://127.0.0.1:8123/tools/", ADDRESS_LOOPBACK_HTTP},
      {L"http://127.255.0.9/", ADDRESS_LOOPBACK_HTTP},
      {L"http://localhost/mirror/", ADDRESS_LOOPBACK_HTTP},
      {L"http://LOCALHOST:80", ADDRESS_LOOPBACK_HTTP},
      {L"http://[::1]:8080/", ADDRESS_LOOPBACK_HTTP},
      {L"http://download.kestrune.org/tools/", ADDRESS_REFUSED},
      {L"http://10.0.0.5/tools/", ADDRESS_REFUSED},
      {L"http://128.0.0.1/", ADDRESS_REFUSED},
      // Hosts that only look like this computer.
      {L"http://127.0.0.1.evil.example/", ADDRESS_REFUSED},
      {L"http://127.0.0.1@evil.example/", ADDRESS_REFUSED},
      {L"http://evil.example\\@127.0.0.1/", ADDRESS_REFUSED},
      {L"http://127.1/", ADDRESS_REFUSED},
      {L"http://0127.0.0.1/", ADDRESS_REFUSED},
      {L"http://127.0.0.256/", ADDRESS_REFUSED},
      {L"http://localhost.evil.example/", ADDRESS_REFUSED},
      {L"http://%31%32%37.0.0.1/", ADDRESS_REFUSED},
      {L"http://[::1]x/", ADDRESS_REFUSED},
      {L"http://127.0.0.1:80x/", ADDRESS_REFUSED},
      // Other schemes, and no host at all.
      {L"ftp://127.0.0.1/", ADDRESS_REFUSED},
      {L"file:///C:/tools/", ADDRESS_REFUSED},
      {L"https:///nohost", ADDRESS_REFUSED},
      {L"127.0.0.1/tools/", ADDRESS_REFUSED},
      {L"", ADDRESS_REFUSED},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassifyDownloadAddress(c.url), c.kind) << WideToUtf8(c.url);
    EXPECT_EQ(IsDownloadAddressAllowed(c.url), c.kind != ADDRESS_REFUSED) << WideToUtf8(c.url);
    // A redirect never leads to plain HTTP, not even on this computer.
    EXPECT_EQ(IsRedirectAllowed(c.url), c.kind == ADDRESS_HTTPS) << WideToUtf8(c.url);
  }
}

}  // namespace
