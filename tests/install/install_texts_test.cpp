#include <gtest/gtest.h>

#include <random>

#include "base/registry_store.h"
#include "install/download_addresses.h"
#include "install/installer.h"
#include "install/scoped_env.h"
#include "support/temp_dir.h"

namespace {

TEST(InstallTexts, MessageAndCaptionByModeAndLanguage) {
  const std::wstring ffmpegPage = kFfmpegPageAddress;
  const std::wstring probePage = kMediaInfoPageAddress;
  struct Case {
    int32_t mode;
    int32_t language;
    std::wstring message;
    std::wstring caption;
  } cases[] = {
      {INSTALL_FFMPEG, 18, L"FFmpeg.exe 파일이 없습니다. \n" + ffmpegPage + L" 에서 다운로드 하세요.",
       L"설치"},
      {INSTALL_FFMPEG, 9, L"FFmpeg.exe file not found\nVisit '" + ffmpegPage + L"'", L"Install"},
      {INSTALL_MEDIAINFO, 18, L"MediaInfo.exe 파일이 없습니다. '" + probePage + L"' 에서 다운로드 하세요.",
       L""},
      {INSTALL_MEDIAINFO, 9, L"MediaInfo.exe file not found\nVisit '" + probePage + L"'", L""},
      // Every language but Korean (18) gets the English texts.
      {INSTALL_FFMPEG, 0, L"FFmpeg.exe file not found\nVisit '" + ffmpegPage + L"'", L"Install"},
      {INSTALL_MEDIAINFO, 0x412, L"MediaInfo.exe file not found\nVisit '" + probePage + L"'", L""},
      {INSTALL_NONE, 18, L"", L""},
      {3, 9, L"", L""},
      {-1, 18, L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InstallMessageText(c.mode, c.language), c.message) << c.mode << "/" << c.language;
    EXPECT_EQ(InstallButtonCaption(c.mode, c.language), c.caption) << c.mode << "/" << c.language;
  }
}

TEST(InstallTexts, PagesAreTheProgramsOwnAndDownloadsComeFromTheProjectsHost) {
  // The messages send the user to the download pages of the two programs themselves.
  EXPECT_EQ(std::wstring(kFfmpegPageAddress), L"https://ffmpeg.org/download.html");
  EXPECT_EQ(std::wstring(kMediaInfoPageAddress), L"https://mediaarea.net/en/MediaInfo/Download/Windows");
  ScopedEnv env;
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", L"");
  EXPECT_EQ(DownloadAddress(kFfmpegPart1), L"https://download.kestrune.org/tools/ffmpeg.zip.001");
  EXPECT_EQ(DownloadAddress(kFfmpegPart2), L"https://download.kestrune.org/tools/ffmpeg.zip.002");
  EXPECT_EQ(DownloadAddress(kMediaInfoArchive), L"https://download.kestrune.org/tools/MediaInfo.zip");
}

TEST(InstallTexts, TheDownloadBaseCanBeMovedByTheEnvironment) {
  ScopedEnv env;
  struct Case {
    const wchar_t* value;
    const wchar_t* address;
  } cases[] = {
      {L"http://127.0.0.1:8123/mirror/", L"http://127.0.0.1:8123/mirror/MediaInfo.zip"},
      {L"http://127.0.0.1:8123/mirror", L"http://127.0.0.1:8123/mirror/MediaInfo.zip"},
  };
  for (const Case& c : cases) {
    env.Set(L"KESTRUNE_DOWNLOAD_BASE", c.value);
    EXPECT_EQ(DownloadAddress(kMediaInfoArchive), c.address);
  }
}

// An organisation's mirror in the settings store: the machine's value (which only an
// administrator can write) before the user's; the environment before both. A key of the
// tests' own stands for Software\Kestrune, so no other test's settings are touched.
TEST(InstallTexts, TheDownloadBaseCanBeSetInTheSettingsStore) {
  ScopedEnv env;
#ifndef _WIN32
  TempDir config;
  std::wstring configPath = config.Path();
  configPath.pop_back();
  env.Set(L"XDG_CONFIG_HOME", configPath);
#endif
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", L"");
  const std::wstring key =
      L"Software\\KestruneTests\\DownloadBase-" + std::to_wstring(std::random_device()());
  EXPECT_EQ(DownloadBase(key), L"https://download.kestrune.org/tools/");

  ASSERT_EQ(
      CRegistryStore::WriteText(REGISTRY_CURRENT_USER, key, kDownloadBaseSetting, L"https://user.example/k"),
      0);
  EXPECT_EQ(DownloadBase(key), L"https://user.example/k/");
  ASSERT_EQ(CRegistryStore::WriteText(REGISTRY_LOCAL_MACHINE, key, kDownloadBaseSetting,
                                      L" https://mirror.corp.example/tools/ "),
            0);
  EXPECT_EQ(DownloadBase(key), L"https://mirror.corp.example/tools/");
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", L"http://127.0.0.1:8123/");
  EXPECT_EQ(DownloadBase(key), L"http://127.0.0.1:8123/");

  // A blank value, or a number under the name, counts as not set.
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", L"");
  ASSERT_EQ(CRegistryStore::WriteText(REGISTRY_LOCAL_MACHINE, key, kDownloadBaseSetting, L"  "), 0);
  ASSERT_EQ(CRegistryStore::WriteInt(REGISTRY_CURRENT_USER, key, kDownloadBaseSetting, 7), 0);
  EXPECT_EQ(DownloadBase(key), L"https://download.kestrune.org/tools/");
}

}  // namespace
