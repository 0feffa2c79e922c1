// Every text of the window and of the dialogs it opens fits its control, in the run's language
// and at the display's resolution: the tests run at 96 DPI, and the check runs once more at
// 144 DPI (run-ui-tests.sh, KESTRUNE_UI_DPI).
#include "ui/text_fit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "base/text.h"
#include "ui/about_dlg.h"
#include "ui/control_ids.h"
#include "ui/countdown_dlg.h"
#include "ui/main_window_fixture.h"

namespace {

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

void ExpectEveryTextFits(HWND dialog) {
  for (const CTextMisfit& misfit : FindTextMisfits(dialog))
    ADD_FAILURE() << "at " << ScreenDpi() << " DPI, control " << misfit.id << " \"" << WideToUtf8(misfit.text)
                  << "\" needs " << misfit.needed << " pixels of " << misfit.available;
}

using TextFitTest = MainWindowFixture;

TEST_F(TextFitTest, EveryTextOfTheWindowAndItsDialogsFitsItsControl) {
  // A run that asks for a resolution has it, so a check at 144 DPI never passes at 96.
  if (const char* asked = std::getenv("KESTRUNE_UI_DPI")) {
    ASSERT_EQ(std::atoi(asked), ScreenDpi());
  }
  {
    SCOPED_TRACE("the main window");
    ExpectEveryTextFits(dialog->Hwnd());
  }
  const int32_t language = dialog->uiLanguage;
  const struct {
    const char* name;
    std::function<void()> open;
  } dialogs[] = {
      {"the countdown to sleep",
       [&] { CCountdownDlg(TXT_COUNTDOWN_SLEEP, language, 60).DoModal(dialog->Hwnd()); }},
      {"the countdown to shut down",
       [&] { CCountdownDlg(TXT_COUNTDOWN_SHUT_DOWN, language, 60).DoModal(dialog->Hwnd()); }},
      {"the About box", [&] { CAboutDlg().DoModal(dialog->Hwnd()); }},
  };
  for (const auto& opened : dialogs) {
    SCOPED_TRACE(opened.name);
    bool seen = WhileDialogOpen([this](HWND hwnd) { return GetWindow(hwnd, GW_OWNER) == dialog->Hwnd(); },
                                opened.open,
                                [](HWND shown) {
                                  ExpectEveryTextFits(shown);
                                  PostMessageW(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                                });
    EXPECT_TRUE(seen);
  }
}

}  // namespace
