// The texts of the install dialog, worded from the table of the user's language.
#include "install/download_addresses.h"
#include "install/installer.h"

std::wstring InstallMessageText(int32_t mode, int32_t uiLanguage) {
  switch (mode) {
    case INSTALL_FFMPEG:
      return FormatText(TXT_INSTALL_FFMPEG_MESSAGE, uiLanguage, kFfmpegPageAddress);
    case INSTALL_MEDIAINFO:
      return FormatText(TXT_INSTALL_MEDIAINFO_MESSAGE, uiLanguage, kMediaInfoPageAddress);
    default:
      return std::wstring();
  }
}

std::wstring InstallButtonCaption(int32_t mode, int32_t uiLanguage) {
  // Only the encoder's variant sets the caption; the probe's leaves whatever it showed last.
  if (mode != INSTALL_FFMPEG) return std::wstring();
  return Text(TXT_INSTALL_BUTTON, uiLanguage);
}

namespace {
// The text of each kind of refusal, in the order of InstallRefusalKind.
constexpr TextId kRefusalTexts[] = {
    TXT_NONE,
    TXT_INSTALL_REFUSE_ADDRESS_NOT_HTTPS,
    TXT_INSTALL_REFUSE_DOWNLOAD_FAILED,
    TXT_INSTALL_REFUSE_REDIRECT_NOT_HTTPS,
    TXT_INSTALL_REFUSE_CHECKSUM_LIST_MISSING,
    TXT_INSTALL_REFUSE_CHECKSUM_NOT_LISTED,
    TXT_INSTALL_REFUSE_CHECKSUM_MISMATCH,
    TXT_INSTALL_REFUSE_NAME_TAKEN,
    TXT_INSTALL_REFUSE_WRITE_FAILED,
    TXT_INSTALL_REFUSE_ARCHIVE_DAMAGED,
    TXT_INSTALL_REFUSE_PROGRAM_NOT_IN_ARCHIVE,
    TXT_INSTALL_REFUSE_MEMBER_TOO_LARGE,
    TXT_INSTALL_REFUSE_ARCHIVE_TOO_LARGE,
    TXT_INSTALL_REFUSE_RESERVED_NAME,
    TXT_INSTALL_REFUSE_NOT_ACCEPTED,
};
}  // namespace

std::wstring InstallRefusalText(const CInstallRefusal& refusal, int32_t uiLanguage) {
  const size_t kind = static_cast<size_t>(refusal.kind);
  if (refusal.kind <= REFUSAL_NONE || kind >= sizeof kRefusalTexts / sizeof kRefusalTexts[0])
    return std::wstring();
  if (refusal.kind == REFUSAL_PROGRAM_NOT_IN_ARCHIVE)
    return FormatText(kRefusalTexts[kind], uiLanguage, refusal.subject, refusal.program);
  return FormatText(kRefusalTexts[kind], uiLanguage, refusal.subject);
}
