#pragma once
// The missing-tool installer: the texts of the install dialog and the work of its Install
// button (download the archive into the program folder, join, unpack, look the program up
// again). Everything blocks the calling thread.
#include <cstdint>
#include <string>

#include "base/texts.h"

enum InstallMode : int32_t { INSTALL_NONE = 0, INSTALL_FFMPEG = 1, INSTALL_MEDIAINFO = 2 };

// The text of the dialog's message (static 1047); empty for other modes.
std::wstring InstallMessageText(int32_t mode, int32_t uiLanguage);
// The caption for the Install button (1046) for mode 1; empty means leave it unchanged.
std::wstring InstallButtonCaption(int32_t mode, int32_t uiLanguage);

// Installs the program of mode into the program folder (which becomes the current directory)
// and returns the outcome to show: "OK! 설치 완료" when it was already there (nothing is
// downloaded), "OK! 설치 성공" or "Error!! 설치 실패"; empty for other modes.
std::wstring RunInstall(int32_t mode);

// Downloads url into the file path; true on success. The file appears under its name only
// complete: a failed download leaves no partial file there.
bool FileDown(const std::wstring& url, const std::wstring& path);
