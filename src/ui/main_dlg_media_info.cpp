// The media-info button (hidden, but wired): MediaInfo's full report of the current file in a
// console window, then the file probed again for the trace.
#include <string>

#include "base/command_quoting.h"
#include "base/message.h"
#include "base/trace.h"
#include "exec/find_executable.h"
#include "install/download_addresses.h"
#include "probe/media_summary.h"
#include "probe/probe_runner.h"
#include "ui/main_dlg.h"

namespace {
constexpr int kFileNotFound = 2;
const wchar_t kMediaInfoCommandFormat[] = L"mediainfo \"%s\" & pause";
const wchar_t kMediaInfoMissingFormat[] = L"MediaInfo.exe 파일이 없습니다. %s 에서 다운로드 하세요.";
}  // namespace

void CMainDlg::OnButtonMediaInfo() {
  const std::wstring& file = jobSettings.currentFile;
  if (file.empty()) return;
  std::wstring found;
  if (FindExecutablePath(L"mediainfo.exe", found) == kFileNotFound) {
    // Captioned with the program's name, as every other box of the window.
    ShowProgramMessage(kMediaInfoMissingFormat, std::wstring(kMediaInfoPageAddress));
    return;
  }

  // The line runs in a console of its own with the file name as it is: no narrow code page
  // loses a character of it, and no command interpreter expands anything in it.
  commandRunner(Sprintf(kMediaInfoCommandFormat, EscapeForQuotes(file)), nullptr);

  ProbeMediaFile(file, currentMedia);
  std::wstring summary;
  FormatMediaSummary(currentMedia, summary);
  DebugLog(L"%s", summary);
}
