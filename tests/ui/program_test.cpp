// The real kestrune.exe: its window comes up with its title and labels, closes from the close
// box, ends the program, and the next start opens where the last one was left.
#include <gtest/gtest.h>

#include <string>

#include "base/program_dir.h"
#include "jobs/control_ids.h"
#include "ui/main_dlg.h"
#include "ui/ui_test_support.h"

namespace {

class CProgram {
 public:
  CProgram() {
    std::wstring commandLine = L"\"" + GetProgramDir() + L"kestrune.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_) != FALSE;
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
      while ((hwnd = FindWindowExW(nullptr, hwnd, L"#32770", kMainWindowTitle)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == process_.dwProcessId && IsWindowVisible(hwnd)) return hwnd;
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

}  // namespace
