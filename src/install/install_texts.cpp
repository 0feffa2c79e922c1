// The texts of the install dialog, in Korean and English.
#include "install/download_addresses.h"
#include "install/installer.h"

std::wstring InstallMessageText(int32_t mode, int32_t uiLanguage) {
  bool korean = uiLanguage == kUiLanguageKorean;
  switch (mode) {
    case INSTALL_FFMPEG:
      if (korean) return std::wstring(L"FFmpeg.exe 파일이 없습니다. \n") + kFfmpegPageAddress + L" 에서 다운로드 하세요.";
      return std::wstring(L"FFmpeg.exe file not found\nVisit '") + kFfmpegPageAddress + L"'";
    case INSTALL_MEDIAINFO:
      if (korean) {
        return std::wstring(L"MediaInfo.exe 파일이 없습니다. '") + kMediaInfoPageAddress + L"' 에서 다운로드 하세요.";
      }
      return std::wstring(L"MediaInfo.exe file not found\nVisit '") + kMediaInfoPageAddress + L"'";
    default:
      return std::wstring();
  }
}

std::wstring InstallButtonCaption(int32_t mode, int32_t uiLanguage) {
  // Only the encoder's variant sets the caption; the probe's leaves whatever it showed last.
  if (mode != INSTALL_FFMPEG) return std::wstring();
  return uiLanguage == kUiLanguageKorean ? L"설치" : L"Install";
}
