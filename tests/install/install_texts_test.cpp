#include <gtest/gtest.h>

#include "install/download_addresses.h"
#include "install/installer.h"
#include "install/scoped_env.h"

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
      {INSTALL_FFMPEG, 18, L"FFmpeg.exe 파일이 없습니다. \n" + ffmpegPage + L" 에서 다운로드 하세요.", L"설치"},
      {INSTALL_FFMPEG, 9, L"FFmpeg.exe file not found\nVisit '" + ffmpegPage + L"'", L"Install"},
      {INSTALL_MEDIAINFO, 18, L"MediaInfo.exe 파일이 없습니다. '" + probePage + L"' 에서 다운로드 하세요.", L""},
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

TEST(InstallTexts, PagesAndDownloadsAreOnTheProjectsOwnSite) {
  for (const wchar_t* page : {kFfmpegPageAddress, kMediaInfoPageAddress}) {
    EXPECT_EQ(std::wstring(page).rfind(L"https://www.kestrune.org/", 0), 0u);
  }
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

}  // namespace
