// The texts of the install dialog, in Korean and English.
#include "install/download_addresses.h"
#include "install/installer.h"

std::wstring InstallMessageText(int32_t mode, int32_t uiLanguage) {
  bool korean = uiLanguage == kUiLanguageKorean;
  switch (mode) {
    case INSTALL_FFMPEG:
      if (korean)
        return std::wstring(L"FFmpeg.exe 파일이 없습니다. \n") + kFfmpegPageAddress +
               L" 에서 다운로드 하세요.";
      return std::wstring(L"FFmpeg.exe file not found\nVisit '") + kFfmpegPageAddress + L"'";
    case INSTALL_MEDIAINFO:
      if (korean) {
        return std::wstring(L"MediaInfo.exe 파일이 없습니다. '") + kMediaInfoPageAddress +
               L"' 에서 다운로드 하세요.";
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

std::wstring InstallRefusalText(const CInstallRefusal& refusal, int32_t uiLanguage) {
  bool korean = uiLanguage == kUiLanguageKorean;
  const std::wstring& s = refusal.subject;
  switch (refusal.kind) {
    case REFUSAL_ADDRESS_NOT_HTTPS:
      if (korean)
        return L"다운로드 주소가 HTTPS 가 아니어서 내려받지 않았습니다: " + s +
               L"\n(HTTP 주소는 이 컴퓨터 안의 주소만 씁니다.)";
      return L"Nothing was downloaded: the download address is not HTTPS: " + s +
             L"\n(plain HTTP is used only from this computer itself)";
    case REFUSAL_DOWNLOAD_FAILED:
      if (korean) return L"내려받지 못했습니다: " + s;
      return L"Could not download " + s;
    case REFUSAL_REDIRECT_NOT_HTTPS:
      if (korean) return L"서버가 HTTPS 가 아닌 주소로 보내서 내려받지 않았습니다: " + s;
      return L"Not downloaded: the host sent " + s + L" on to an address that is not HTTPS.";
    case REFUSAL_CHECKSUM_LIST_MISSING:
      if (korean)
        return L"SHA-256 목록을 받지 못해 내려받은 파일을 확인할 수 없으므로 설치하지 않았습니다: " + s;
      return L"Not installed: the SHA-256 list could not be fetched, so the downloads cannot be checked: " +
             s;
    case REFUSAL_CHECKSUM_NOT_LISTED:
      if (korean) return s + L" 파일이 SHA-256 목록에 없어서 설치하지 않았습니다.";
      return L"Not installed: " + s + L" is not in the host's SHA-256 list.";
    case REFUSAL_CHECKSUM_MISMATCH:
      if (korean)
        return s + L" 파일의 SHA-256 값이 목록과 다릅니다 (손상되었거나 바뀐 파일). 설치하지 않았습니다.";
      return L"Not installed: " + s +
             L" does not match its SHA-256 sum in the host's list (damaged or altered).";
    case REFUSAL_NAME_TAKEN:
      if (korean)
        return L"프로그램 폴더에 케스트룬이 내려받지 않은 " + s +
               L" 파일이 있습니다. 다른 곳으로 옮긴 뒤 다시 설치하세요.";
      return s +
             L" in the program folder is not a file Kestrune downloaded; move it elsewhere and install "
             L"again.";
    case REFUSAL_WRITE_FAILED:
      if (korean) return L"프로그램 폴더에 쓸 수 없습니다: " + s;
      return L"Cannot write into the program folder " + s;
    case REFUSAL_ARCHIVE_DAMAGED:
      if (korean) return s + L" 파일의 압축을 풀 수 없습니다 (손상된 zip 파일).";
      return s + L" cannot be unpacked (a damaged zip archive).";
    case REFUSAL_PROGRAM_NOT_IN_ARCHIVE:
      if (korean) return s + L" 파일에 " + refusal.program + L" 이(가) 없습니다.";
      return s + L" does not hold " + refusal.program + L".";
    default:
      return std::wstring();
  }
}
