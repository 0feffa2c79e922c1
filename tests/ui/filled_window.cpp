// The main window as a user has it in the middle of a job, for the README's picture
// (tools/screenshots.sh): three files dropped on the list, the first one clicked (its codec,
// audio tracks and length shown) and the convert job's command in the box. It prints "ready"
// once the window is filled and runs until the window is closed.
// With "run", for the pictures of a run: the list holds the clicked clip, a download cut short
// and the song; GPU acceleration is unticked and Start pressed. It prints "running" once the
// progress bar is a third of the way, and "ended" once the run has ended (its end message, which
// names the short file, is open then).
// Usage: kestrune_filled_window.exe [MEDIA-FOLDER [run]]   (default C:\Videos\; the clips are
// made there)
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/program_dir.h"
#include "ui/control_ids.h"
#include "support/media_fixtures.h"
#include "ui/main_dlg.h"
#include "ui/ui_test_support.h"

namespace {
CMainDlg* runningDialog = nullptr;

// Called by any message loop, the end message's too: says how far the run has come, once each.
void CALLBACK TellHowFar(HWND, UINT, UINT_PTR, DWORD) {
  static bool running = false, ended = false;
  const LRESULT position = SendMessageW(GetDlgItem(runningDialog->Hwnd(), IDC_RUN_PROGRESS), PBM_GETPOS, 0, 0);
  const char* say = nullptr;
  if (!running && position >= 33) {
    running = true;
    say = "running";
  } else if (running && !ended && runningDialog->batchFinished) {
    ended = true;
    say = "ended";
  }
  if (say == nullptr) return;
  std::printf("%s\n", say);
  std::fflush(stdout);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring folder = argc > 1 ? argv[1] : L"C:\\Videos\\";
  const bool run = argc > 2 && std::wstring(argv[2]) == L"run";
  if (folder.back() != L'\\') folder += L'\\';
  CreateDirectoryW(folder.c_str(), nullptr);
  // The clicked file: 720p H.264 with three audio tracks of different codecs, rates,
  // channels and languages, in MP4, where MediaInfo reads every track's bit rate.
  std::wstring main = folder + L"여행 영상 (2019).mp4";
  std::vector<std::wstring> paths = {main, folder + L"interview.mp4", folder + L"music.mp3"};
  if (run) paths[1] = folder + L"download (cut short).mkv";
  auto missing = [](const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
  };
  bool made = true;
  if (missing(main)) {
    // Laid out by hand: an option and its value on one line.
    // clang-format off
    made = RunFfmpeg({L"-hide_banner", L"-loglevel", L"error", L"-nostdin", L"-y",
                      L"-f", L"lavfi", L"-i", L"testsrc=size=1280x720:rate=25:duration=95",
                      L"-f", L"lavfi", L"-i", L"sine=frequency=440:sample_rate=48000:duration=95",
                      L"-f", L"lavfi", L"-i", L"sine=frequency=660:sample_rate=48000:duration=95",
                      L"-f", L"lavfi", L"-i", L"sine=frequency=880:sample_rate=48000:duration=95",
                      L"-map", L"0:v", L"-map", L"1:a", L"-map", L"2:a", L"-map", L"3:a",
                      L"-c:v", L"libx264", L"-preset", L"ultrafast", L"-pix_fmt", L"yuv420p",
                      L"-c:a:0", L"aac", L"-b:a:0", L"192k", L"-ac:a:0", L"2",
                      L"-c:a:1", L"aac", L"-b:a:1", L"128k", L"-ac:a:1", L"2",
                      L"-c:a:2", L"ac3", L"-b:a:2", L"384k", L"-ac:a:2", L"6",
                      L"-metadata:s:a:0", L"language=kor", L"-metadata:s:a:1", L"language=eng",
                      L"-metadata:s:a:2", L"language=jpn", main});
    // clang-format on
  }
  if (made && missing(paths[1]))
    made = run ? MakeSample(Sample::CUT_SHORT_MKV, paths[1], 10) : MakeSample(Sample::H264_AAC_MP4, paths[1], 30);
  if (made && missing(paths[2])) made = MakeSample(Sample::MP3_ONLY, paths[2], 30);
  if (!made) {
    std::fwprintf(stderr, L"filled_window: cannot make the clips in %ls\n", folder.c_str());
    return 1;
  }

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  CMainDlg dialog;
  if (!dialog.Create(nullptr)) return 1;
  ShowWindow(dialog.Hwnd(), SW_SHOW);
  PumpMessages();
  DropFiles(dialog.Hwnd(), paths);
  ClickListRow(GetDlgItem(dialog.Hwnd(), IDC_FILE_LIST), 0);
  // The window keeps its options between starts: GPU acceleration may be unticked already. The
  // job's radio, clicked next, builds the command the run runs.
  if (run && IsDlgButtonChecked(dialog.Hwnd(), IDC_GPU) == BST_CHECKED)
    SendMessageW(GetDlgItem(dialog.Hwnd(), IDC_GPU), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(dialog.Hwnd(), IDC_JOB_CONVERT), BM_CLICK, 0, 0);
  PumpMessages();
  std::printf("ready\n");
  std::fflush(stdout);
  if (run) {
    runningDialog = &dialog;
    SetTimer(nullptr, 0, 250, TellHowFar);
    PostMessageW(GetDlgItem(dialog.Hwnd(), IDC_START), BM_CLICK, 0, 0);
  }

  // A modeless window: this loop stands for the modal one until the window is closed, which
  // hides it.
  MSG msg;
  while (IsWindowVisible(dialog.Hwnd()) && GetMessageW(&msg, nullptr, 0, 0) > 0)
    CDialogBase::ProcessQueuedMessage(msg);
  return 0;
}
