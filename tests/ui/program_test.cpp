// The real kestrune.exe: its window comes up with its title and labels, closes from the close
// box, ends the program, and the next start opens where the last one was left. Started from a
// folder that lacks ffmpeg or MediaInfo, Start offers the missing-tool dialog, in the run's
// language and over the window, and the media-info button names MediaInfo's download page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/program_dir.h"
#include "base/text.h"
#include "base/texts.h"
#include "install/download_addresses.h"
#include "install/installer.h"
#include "support/temp_dir.h"
#include "ui/control_ids.h"
#include "ui/main_dlg.h"
#include "ui/ui_test_support.h"

namespace {

class CProgram {
 public:
  // The program in folder (with its trailing separator), started there.
  explicit CProgram(const std::wstring& folder = GetProgramDir()) {
    std::wstring commandLine = L"\"" + folder + L"kestrune.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, &process_) != FALSE;
  }
  ~CProgram() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  CProgram(const CProgram&) = delete;
  CProgram& operator=(const CProgram&) = delete;

  bool Started() const { return started_; }

  // The program's main window, once it is shown; null when it does not come within a minute.
  HWND WaitForWindow() const {
    for (int attempt = 0; attempt < 600; ++attempt) {
      HWND hwnd = nullptr;
      while ((hwnd = FindWindowExW(nullptr, hwnd, L"#32770", MainWindowTitle(UserUiLanguage()))) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == process_.dwProcessId && IsWindowVisible(hwnd)) return hwnd;
      }
      if (WaitForSingleObject(process_.hProcess, 100) != WAIT_TIMEOUT) return nullptr;
    }
    return nullptr;
  }

  // A visible dialog window of the program that accept() takes; null when none comes within a
  // minute.
  template <typename Accept>
  HWND WaitForDialog(Accept accept) const {
    for (int attempt = 0; attempt < 600; ++attempt) {
      HWND hwnd = nullptr;
      while ((hwnd = FindWindowExW(nullptr, hwnd, L"#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == process_.dwProcessId && IsWindowVisible(hwnd) && accept(hwnd)) return hwnd;
      }
      if (WaitForSingleObject(process_.hProcess, 100) != WAIT_TIMEOUT) return nullptr;
    }
    return nullptr;
  }

  // The exit code, or -1 when the program has not ended within a minute.
  long WaitForExit() const {
    if (WaitForSingleObject(process_.hProcess, 60000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION process_{};
};

std::wstring ItemText(HWND dialog, int id) {
  wchar_t buffer[256] = {0};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(GetDlgItem(dialog, id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 10000, &copied);
  return buffer;
}

std::wstring WindowItemText(HWND hwnd) {
  wchar_t buffer[512] = {0};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 10000,
                      &copied);
  return buffer;
}

// The longest static text of a message box: its message.
std::wstring MessageBoxText(HWND box) {
  std::wstring longest;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (WindowClass(child) != L"Static") continue;
    std::wstring text = WindowItemText(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

void PostCommand(HWND window, int id) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearStoredPosition(); }
  void TearDown() override { ClearStoredPosition(); }
};

TEST_F(ProgramTest, WindowComesUpClosesAndReturnsWhereItWasLeft) {
  bool korean = ExpectKorean();
  {
    CProgram program;
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(std::wstring(korean ? L"작업 실행" : L"Start Process"), ItemText(window, IDC_START));
    EXPECT_EQ(std::wstring(korean ? L"파일 리스트 (파일을 아래에 드래그 해주세요)" : L"Drag File Below"),
              ItemText(window, IDC_HINT));
    EXPECT_EQ(std::wstring(L"Build Date (2020/02/22)"), ItemText(window, IDC_STATUS_LINE));
    SetWindowPos(window, nullptr, 345, 123, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.WaitForExit());
  }
  EXPECT_EQ(std::optional<uint32_t>(345), StoredValue(L"win_x"));
  EXPECT_EQ(std::optional<uint32_t>(123), StoredValue(L"win_y"));

  CProgram again;
  ASSERT_TRUE(again.Started());
  HWND window = again.WaitForWindow();
  ASSERT_NE(nullptr, window);
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(345, rect.left);
  EXPECT_EQ(123, rect.top);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, again.WaitForExit());
}

TEST_F(ProgramTest, StartWithoutAToolOffersItsInstallDialogAndMediaInfoNamesItsPage) {
  const struct {
    std::vector<const wchar_t*> beside;  // what lies beside the program
    int32_t mode;
  } folders[] = {{{L"ffmpeg.exe", L"exec.bat"}, INSTALL_MEDIAINFO}, {{L"exec.bat"}, INSTALL_FFMPEG}};
  int32_t language = ExpectKorean() ? 18 : 9;
  for (const auto& folder : folders) {
    SCOPED_TRACE(testing::Message() << "mode " << folder.mode);
    TempDir programFolder;
    ASSERT_TRUE(CopyFileW((GetProgramDir() + L"kestrune.exe").c_str(),
                          programFolder.File(L"kestrune.exe").c_str(), FALSE));
    for (const wchar_t* file : folder.beside) {
      ASSERT_TRUE(CopyFileW((GetProgramDir() + file).c_str(), programFolder.File(file).c_str(), FALSE));
    }
    CProgram program(programFolder.Path());
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window);
    SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT main{};
    GetWindowRect(window, &main);

    PostCommand(window, IDC_START);
    // The dialog is shown before it is moved and filled; its message is set last, so a
    // dialog with a message has already reached its place.
    HWND install = program.WaitForDialog([&](HWND hwnd) {
      HWND message = GetDlgItem(hwnd, IDC_INSTALL_MESSAGE);
      return hwnd != window && message != nullptr && !WindowItemText(message).empty();
    });
    ASSERT_NE(nullptr, install);
    RECT shown{};
    GetWindowRect(install, &shown);
    EXPECT_EQ(main.left + (main.right - main.left) / 5, shown.left);
    EXPECT_EQ(main.top + (main.bottom - main.top) / 10, shown.top);
    EXPECT_EQ(InstallMessageText(folder.mode, language),
              WindowItemText(GetDlgItem(install, IDC_INSTALL_MESSAGE)));
    std::wstring button = folder.mode == INSTALL_FFMPEG && language == 18 ? L"설치" : L"Install";
    EXPECT_EQ(button, WindowItemText(GetDlgItem(install, IDC_INSTALL_BUTTON)));
    EXPECT_NE(FALSE, IsWindowEnabled(GetDlgItem(window, IDC_START)));

    if (folder.mode == INSTALL_MEDIAINFO) {
      // A preview makes the default input name the current file; the hidden media-info
      // button then finds no MediaInfo and names its page, in the window's language, in a box
      // captioned with the program's name as the window's other boxes are.
      PostCommand(window, IDC_JOB_CONVERT);
      PostCommand(window, IDC_MEDIA_INFO);
      HWND box = program.WaitForDialog([&](HWND hwnd) {
        return hwnd != install && GetDlgItem(hwnd, IDC_INSTALL_MESSAGE) == nullptr &&
               WindowItemText(hwnd) == L"kestrune";
      });
      ASSERT_NE(nullptr, box);
      EXPECT_EQ(ExpectKorean() ? std::wstring(L"MediaInfo.exe 파일이 없습니다. ") + kMediaInfoPageAddress +
                                     L" 에서 다운로드 하세요."
                               : std::wstring(L"MediaInfo.exe is missing. Download it from ") +
                                     kMediaInfoPageAddress + L".",
                MessageBoxText(box));
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.WaitForExit());
  }
}

// A user who updates by copying only kestrune.exe into a folder without kestrune-cli.exe: Start
// names the missing file in a box captioned with the program's name, in the run's language,
// and starts nothing (every command would otherwise end with 9009 and no word).
TEST_F(ProgramTest, StartWithoutKestruneCliNamesItAndStartsNothing) {
  TempDir programFolder;
  for (const wchar_t* file : {L"kestrune.exe", L"ffmpeg.exe", L"mediainfo.exe", L"exec.bat"}) {
    ASSERT_TRUE(CopyFileW((GetProgramDir() + file).c_str(), programFolder.File(file).c_str(), FALSE));
  }
  int32_t language = ExpectKorean() ? 18 : 9;
  CProgram program(programFolder.Path());
  ASSERT_TRUE(program.Started());
  HWND window = program.WaitForWindow();
  ASSERT_NE(nullptr, window);
  const std::wstring status = ItemText(window, IDC_STATUS_LINE);

  PostCommand(window, IDC_START);
  HWND box =
      program.WaitForDialog([&](HWND hwnd) { return hwnd != window && WindowItemText(hwnd) == L"kestrune"; });
  ASSERT_NE(nullptr, box);
  const std::wstring text = MessageBoxText(box);
  EXPECT_EQ(FormatText(TXT_CONSOLE_HOST_MISSING, language, programFolder.File(L"kestrune-cli.exe")), text);
  EXPECT_NE(std::wstring::npos, text.find(L"kestrune-cli.exe")) << WideToUtf8(text);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  // Nothing started: the button and the status line are as they were.
  EXPECT_EQ(std::wstring(language == 18 ? L"작업 실행" : L"Start Process"), ItemText(window, IDC_START));
  EXPECT_EQ(status, ItemText(window, IDC_STATUS_LINE));
  EXPECT_NE(FALSE, IsWindowEnabled(GetDlgItem(window, IDC_START)));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, program.WaitForExit());
}

}  // namespace
