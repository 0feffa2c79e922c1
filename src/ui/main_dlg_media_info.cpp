// The media-info button (hidden, but wired): MediaInfo's full report of the current file in a
// console window, then the file probed again for the trace.
#include <string>

#include "base/command_quoting.h"
#include "base/message.h"
#include "base/trace.h"
#include "exec/program_lookup.h"
#include "install/download_addresses.h"
#include "probe/media_desc.h"
#include "probe/probe_runner.h"
#include "ui/main_dlg.h"

namespace {
constexpr int kFileNotFound = 2;
const wchar_t kMediaInfoCommandFormat[] = L"mediainfo \"%s\" & pause";
}  // namespace

void CMainDlg::OnButtonMediaInfo() {
  const std::wstring& file = jobSettings.currentFile;
  if (file.empty()) return;
  std::wstring found;
  if (FindExecutablePath(L"mediainfo.exe", found) == kFileNotFound) {
    // Captioned with the program's name, as every other box of the window.
    ShowProgramMessage(L"%s", FormatText(TXT_MEDIA_INFO_MISSING, uiLanguage, kMediaInfoPageAddress));
    return;
  }

  // The line runs in a console of its own with the file name as it is: no narrow code page
  // loses a character of it, and no command interpreter expands anything in it.
  commandRunner(Sprintf(kMediaInfoCommandFormat, EscapeForQuotes(file)), nullptr, ConsoleErrorSink());

  ProbeMediaFile(file, currentMedia);
  std::wstring summary;
  FormatMediaSummary(currentMedia, summary);
  DebugLog(L"%s", summary);
}
