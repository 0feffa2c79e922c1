// For the setup's test: installs both tools into the program folder that KESTRUNE_PROGRAM_DIR
// names, exactly as the install dialog's button does (RunInstall), from a local server that
// serves stand-ins for them with their SHA-256 list. The release accepts no such archive: their
// sums are set as an administrator would for a mirror of the organisation's own builds
// (download_sums under HKEY_LOCAL_MACHINE\Software\Kestrune), and taken away at the end.
// Prints each outcome; exits with 0 when both arrived.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/registry_store.h"
#include "base/text.h"
#include "install/download_sums.h"
#include "install/installer.h"
#include "install/local_http_server.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <stdlib.h>
#endif

int main() {
  TempDir work;
  LocalHttpServer server(work.Path());
  for (const wchar_t* tool : {L"ffmpeg.exe", L"MediaInfo.exe"}) {
    std::ofstream(std::filesystem::path(server.Content() + tool), std::ios::binary)
        << "stand-in for " << WideToUtf8(tool) << "\n";
  }
  server.AddArchive({L"split", L"ffmpeg.zip", L"ffmpeg.exe"});
  server.AddArchive({L"zip", L"MediaInfo.zip", L"MediaInfo.exe"});
  if (!server.Start()) {
    std::fprintf(stderr, "the local server did not start: %s\n", server.Error().c_str());
    return 2;
  }
#ifdef _WIN32
  _wputenv_s(L"KESTRUNE_DOWNLOAD_BASE", server.BaseAddress().c_str());
#endif
  std::ifstream list(std::filesystem::path(server.Served() + L"SHA256SUMS"), std::ios::binary);
  std::wstring sums;
  for (std::string line; std::getline(list, line);) sums += Utf8ToWide(line.substr(0, 64)) + L"\r\n";
  if (CRegistryStore::WriteText(REGISTRY_LOCAL_MACHINE, kRegistryKeyPath, kDownloadSumsSetting, sums) != 0) {
    std::fprintf(stderr, "download_sums could not be set\n");
    return 2;
  }
  const std::wstring success = L"OK! 설치 성공";
  bool arrived = true;
  for (int32_t mode : {INSTALL_FFMPEG, INSTALL_MEDIAINFO}) {
    CInstallRefusal refusal;
    std::wstring outcome = RunInstall(mode, &refusal);
    std::printf("install %d: %s %s\n", mode, WideToUtf8(outcome).c_str(),
                WideToUtf8(InstallRefusalText(refusal, kUiLanguageEnglish)).c_str());
    arrived = arrived && outcome == success;
  }
  server.Stop();
  CRegistryStore::WriteText(REGISTRY_LOCAL_MACHINE, kRegistryKeyPath, kDownloadSumsSetting, L"");
  return arrived ? 0 : 1;
}
