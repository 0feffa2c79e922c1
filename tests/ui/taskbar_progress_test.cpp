// A run's progress on the taskbar button, through a fake button: the calls come in order
// (started, the share of the run done as it moves, within a file too, the error state after a
// failed file, cleared at the end), the interface is opened only once the shell has made the button, and the
// flash is asked for only when the window is not in front. Then what counts as in front, on the main window,
// and the system's own interface under the running system.
#include "ui/taskbar_progress.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/fake_taskbar.h"
#include "ui/main_window_fixture.h"
#include "ui/ui_test_support.h"

namespace {

enum Step {
  BUTTON_MADE,
  START_3,
  HALF_OF_FILE_1,
  FILE_1_DONE,
  FILE_2_FAILED,
  FILE_3_DONE,
  OTHER_IN_FRONT,
  END,
  WINDOW_GONE
};

TEST(TaskbarProgressTest, TheButtonFollowsTheRunInOrder) {
  const struct {
    const char* name;
    std::vector<Step> steps;
    bool shellHasOne;
    std::vector<std::wstring> calls;
  } cases[] = {
      {"a run with a failed file, the window in front at the end",
       {BUTTON_MADE, START_3, HALF_OF_FILE_1, HALF_OF_FILE_1, FILE_1_DONE, FILE_2_FAILED, FILE_3_DONE, END},
       true,
       {L"open", L"state normal", L"value 0/1000", L"value 167/1000", L"value 333/1000", L"state error",
        L"value 667/1000", L"value 1000/1000", L"state none", L"released"}},
      {"the run ends while another window is in front",
       {BUTTON_MADE, START_3, FILE_1_DONE, OTHER_IN_FRONT, END},
       true,
       {L"open", L"state normal", L"value 0/1000", L"value 333/1000", L"state none", L"released", L"flash"}},
      {"no button made yet: nothing but the flash",
       {START_3, FILE_1_DONE, FILE_2_FAILED, OTHER_IN_FRONT, END},
       true,
       {L"flash"}},
      {"the button is made during the run: it shows the run at once",
       {START_3, FILE_1_DONE, FILE_2_FAILED, BUTTON_MADE, FILE_3_DONE, END},
       true,
       {L"open", L"state error", L"value 667/1000", L"value 1000/1000", L"state none", L"released"}},
      {"the system has no taskbar interface",
       {BUTTON_MADE, START_3, FILE_1_DONE, FILE_2_FAILED, OTHER_IN_FRONT, END},
       false,
       {L"open: none", L"flash"}},
      {"the window goes during the run",
       {BUTTON_MADE, START_3, FILE_1_DONE, OTHER_IN_FRONT, WINDOW_GONE, END},
       true,
       {L"open", L"state normal", L"value 0/1000", L"value 333/1000", L"released"}},
      {"no run, no calls", {BUTTON_MADE, FILE_1_DONE, OTHER_IN_FRONT, END}, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // No window: nothing here reaches one but the fakes.
    CTaskbarProgress progress;
    auto inFront = std::make_shared<bool>(true);
    TaskbarLog log = UseFakeTaskbar(progress, c.shellHasOne, inFront);
    for (Step step : c.steps) {
      switch (step) {
        case BUTTON_MADE:
          progress.OnButtonCreated();
          break;
        case START_3:
          progress.OnRunStart();
          break;
        case HALF_OF_FILE_1:  // twice: the same value is not sent again
          progress.OnProgress(1.0 / 6);
          break;
        case FILE_1_DONE:
          progress.OnFileEnd(false);
          progress.OnProgress(1.0 / 3);
          break;
        case FILE_2_FAILED:
          progress.OnFileEnd(true);
          progress.OnProgress(2.0 / 3);
          break;
        case FILE_3_DONE:
          progress.OnFileEnd(true);  // a failure stays a failure
          progress.OnProgress(1);
          break;
        case OTHER_IN_FRONT:
          *inFront = false;
          break;
        case END:
          progress.OnRunEnd();
          break;
        case WINDOW_GONE:
          progress.OnWindowGone();
          break;
      }
    }
    EXPECT_EQ(c.calls, *log);
  }
}

// The main window is in front, and stays so while a question of its own is open; a window of
// another program in front is not it.
using TaskbarFrontTest = MainWindowFixture;

TEST_F(TaskbarFrontTest, TheWindowIsInFrontWithItsOwnQuestionsOnly) {
  ASSERT_EQ(dialog->Hwnd(), GetForegroundWindow());
  EXPECT_TRUE(IsWindowInFront(dialog->Hwnd()));
  const struct {
    const wchar_t* caption;
    bool owned;
  } boxes[] = {{L"question of the window", true}, {L"another program", false}};
  for (const auto& box : boxes) {
    SCOPED_TRACE(box.owned ? "its own question" : "another window");
    bool shown = false;
    bool inFront = !box.owned;
    EXPECT_TRUE(WhileModalDialogOpen(
        box.caption, [&] { MessageBoxW(box.owned ? dialog->Hwnd() : nullptr, L"?", box.caption, MB_OK); },
        [&](HWND opened) {
          // The box may be seen before the system has made it the foreground window.
          SetForegroundWindow(opened);
          shown = GetForegroundWindow() == opened;
          inFront = IsWindowInFront(dialog->Hwnd());
        }));
    ASSERT_TRUE(shown);
    EXPECT_EQ(box.owned, inFront);
  }
}

// The system's own interface: made, it takes every state and value; made again after its
// release (the thread's COM join is undone with each one).
TEST_F(TaskbarFrontTest, TheSystemInterfaceTakesTheRunsCalls) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    std::unique_ptr<ITaskbarButton> button = OpenTaskbarButton(dialog->Hwnd());
    ASSERT_NE(nullptr, button);
    EXPECT_TRUE(button->SetState(TASKBAR_NORMAL));
    EXPECT_TRUE(button->SetValue(1, 3));
    EXPECT_TRUE(button->SetState(TASKBAR_ERROR));
    EXPECT_TRUE(button->SetValue(3, 3));
    EXPECT_TRUE(button->SetState(TASKBAR_NONE));
    EXPECT_FALSE(button->SetValue(0, 0));  // nothing to count
  }
}

}  // namespace
