// One side of bench/window_vs_console.sh: the conversion of one clip, run as the window runs it
// or as its command alone in a console, timed in this process. The real main window is shown,
// the clip dropped and clicked, GPU acceleration unticked and "convert" chosen, so the command
// is the one the window's preview shows. Then, by the mode:
//   window   Start, until the window has heard of the run's end (the probe of the input, the
//            command in a console of the console host with ffmpeg's statistics relayed to the
//            window, the check of the output)
//   console  the same command text in a console of the console host, without a relay
//   relay    the same, with the relay read as the window reads it
// Prints "<mode>: N ms" (for the window, with the time before its command and after it); exit
// code 1 when the output was not made (or, relayed, when no statistics came through).
// Usage: kestrune_run_driver.exe window|console|relay CLIP
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "base/file_util.h"
#include "batch/ffmpeg_statistics.h"
#include "exec/console_host.h"
#include "ui/control_ids.h"
#include "ui/main_dlg.h"
#include "ui/ui_test_support.h"
#include "window_bench.h"

namespace {
// The last quoted text of a command: its output.
std::wstring OutputOf(const std::wstring& command) {
  const size_t close = command.rfind(L'"');
  const size_t open =
      close == std::wstring::npos || close == 0 ? std::wstring::npos : command.rfind(L'"', close - 1);
  return open == std::wstring::npos ? std::wstring() : command.substr(open + 1, close - open - 1);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kestrune_run_driver.exe window|console|relay CLIP\n");
    return 2;
  }
  const std::wstring mode = argv[1];
  const std::wstring clip = argv[2];
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  CMainDlg dialog;
  if (!dialog.Create(nullptr)) return 1;
  ShowWindow(dialog.Hwnd(), SW_SHOW);
  PumpMessages();
  DropFiles(dialog.Hwnd(), {clip});
  if (!ClickListRow(GetDlgItem(dialog.Hwnd(), IDC_FILE_LIST), 0)) return 1;
  // The window keeps its options between starts: GPU acceleration may be unticked already.
  if (IsDlgButtonChecked(dialog.Hwnd(), IDC_GPU) == BST_CHECKED)
    SendMessageW(GetDlgItem(dialog.Hwnd(), IDC_GPU), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(dialog.Hwnd(), IDC_JOB_CONVERT), BM_CLICK, 0, 0);
  PumpMessages();
  const std::wstring command = dialog.CmdSet;
  const std::wstring output = OutputOf(command);
  if (output.empty() || FileExists(output)) return 1;

  bool relayed = true;
  const double start = BenchMilliseconds();
  // In the window's run, when its command began and ended: what the run adds before and after it.
  double commandStart = 0, commandEnd = 0;
  if (mode == L"window") {
    dialog.commandRunner = [&](const std::wstring& line, CCommandStop* stop, const ConsoleErrorSink& errors) {
      commandStart = BenchMilliseconds();
      const int status = RunInOwnConsole(line, stop, errors);
      commandEnd = BenchMilliseconds();
      return status;
    };
    SendMessageW(GetDlgItem(dialog.Hwnd(), IDC_START), BM_CLICK, 0, 0);
    while (!dialog.batchFinished) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      PumpMessages();
    }
  } else if (mode == L"relay") {
    CFfmpegErrorStream stream;
    RunInOwnConsole(command, nullptr, [&stream](const std::string& bytes) { stream.Take(bytes); });
    relayed = stream.Progress().seconds > 0;
  } else {
    RunInOwnConsole(command, nullptr);
  }
  const double took = BenchMilliseconds() - start;
  if (commandEnd > 0) {
    std::printf("%ls: %.0f ms (before the command %.0f ms, after it %.0f ms)\n", mode.c_str(), took,
                commandStart - start, start + took - commandEnd);
  } else {
    std::printf("%ls: %.0f ms\n", mode.c_str(), took);
  }
  if (!FileExists(output) || GetFileLength(output) <= 0) {
    std::fprintf(stderr, "no output made: %ls\n", output.c_str());
    return 1;
  }
  if (!relayed) std::fprintf(stderr, "no statistics came through the relay\n");
  return relayed ? 0 : 1;
}
