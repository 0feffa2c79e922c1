// The main dialog's own modal loop and its message filter: a queued OK command is swallowed,
// a queued command 20 is traced, Cancel and a sent OK end the run; and the choice of the
// interface language.
#include <gtest/gtest.h>

#include <functional>

#include "support/trace_capture.h"
#include "ui/main_dlg.h"
#include "ui/dialog_base.h"
#include "ui/ui_test_support.h"

namespace {

// Runs the dialog modally; once its loop is running, act(dialog window) is called.
std::function<void(HWND)> pendingAction;
CMainDlg* runningDialog = nullptr;

void CALLBACK ActOnce(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (pendingAction && runningDialog) pendingAction(runningDialog->Hwnd());
}

INT_PTR RunModal(CMainDlg& dialog, std::function<void(HWND)> act) {
  pendingAction = std::move(act);
  runningDialog = &dialog;
  SetTimer(nullptr, 0, 10, &ActOnce);
  INT_PTR result = dialog.DoModal(nullptr);
  pendingAction = nullptr;
  runningDialog = nullptr;
  PumpMessages();
  return result;
}

class ModalLoopTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearStoredPosition(); }
  void TearDown() override { ClearStoredPosition(); }
};

TEST_F(ModalLoopTest, QueuedOkIsSwallowedAndCancelEndsTheRun) {
  TraceCapture trace;
  CMainDlg dialog;
  bool visibleAfterOk = false;
  INT_PTR result = RunModal(dialog, [&](HWND hwnd) {
    visibleAfterOk = IsWindowVisible(hwnd) != FALSE;
    PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
    PostMessageW(hwnd, WM_COMMAND, 20, 0);
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_TRUE(visibleAfterOk);
  EXPECT_EQ(IDCANCEL, result);
  EXPECT_EQ(nullptr, dialog.Hwnd());
  EXPECT_EQ(1u, trace.Count(L"PreTranslateMessage-WM_SYSCOMMAND-20"));
}

TEST_F(ModalLoopTest, SentOkEndsTheRun) {
  CMainDlg dialog;
  INT_PTR result = RunModal(dialog, [](HWND hwnd) { SendMessageW(hwnd, WM_COMMAND, IDOK, 0); });
  EXPECT_EQ(IDOK, result);
}

TEST_F(ModalLoopTest, CloseBoxEndsTheRunAndSavesThePosition) {
  CMainDlg dialog;
  RECT rect{};
  INT_PTR result = RunModal(dialog, [&](HWND hwnd) {
    SetWindowPos(hwnd, nullptr, 222, 111, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(hwnd, &rect);
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(IDCANCEL, result);
  EXPECT_EQ(std::optional<uint32_t>(222), StoredValue(L"win_x"));
  EXPECT_EQ(std::optional<uint32_t>(111), StoredValue(L"win_y"));
}

TEST(UiLanguageTest, KoreanPrimaryLanguageGivesKoreanLabels) {
  const struct {
    LANGID id;
    int32_t language;
  } cases[] = {{0x0412, 18}, {0x0812, 18}, {0x0012, 18}, {0x0409, 9}, {0x0411, 9}, {0x1209, 9}, {0x0000, 9}};
  for (const auto& c : cases) EXPECT_EQ(c.language, UiLanguageFromLangId(c.id)) << std::hex << c.id;
}

}  // namespace
