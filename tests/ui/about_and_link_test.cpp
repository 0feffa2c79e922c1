// The About box from "?" and from the system menu, the link label (colour, hover, cursor,
// click) and its underline font, which must go with the link.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ui/control_ids.h"
#include "ui/hyperlink.h"
#include "ui/main_dlg.h"
#include "ui/ui_test_support.h"
#include "ui/main_window_fixture.h"

namespace {

constexpr const wchar_t* kAboutCaption = L"About Kestrune";

HFONT PropFont(HWND hwnd, const wchar_t* name) { return static_cast<HFONT>(GetPropW(hwnd, name)); }
HFONT CurrentFont(HWND hwnd) { return reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)); }

class LinkedDialogTest : public MainWindowFixture {
 protected:
  CHelpPageCounter help;
};

// What every opening of the About box must show.
void ExpectAboutBox(HWND box, HWND owner) {
  EXPECT_EQ(owner, GetWindow(box, GW_OWNER));
  EXPECT_FALSE(IsWindowEnabled(owner));  // modal
  EXPECT_EQ(std::wstring(L"MS Sans Serif"), std::wstring(WindowFont(box).lfFaceName));
  RECT client{};
  GetClientRect(box, &client);
  RECT expected = DialogUnitsToPixels(box, 0, 0, 239, 64);
  EXPECT_EQ(expected.right, client.right);
  EXPECT_EQ(expected.bottom, client.bottom);
  HWND ok = GetDlgItem(box, IDOK);
  EXPECT_EQ(std::wstring(L"OK"), WindowText(ok));
  EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK);
  HWND link = GetDlgItem(box, IDC_HELP_LINK);
  EXPECT_EQ(std::wstring(L"http://www.kestrune.org"), WindowText(link));
  EXPECT_NE(nullptr, GetPropW(link, kHyperlinkFromStaticProp));
  std::vector<std::wstring> labels;
  bool hasIcon = false;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (static_cast<short>(GetDlgCtrlID(child)) != -1) continue;
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      hasIcon = SendMessageW(child, STM_GETICON, 0, 0) != 0;
    } else {
      labels.push_back(WindowText(child));
    }
  }
  EXPECT_TRUE(hasIcon);
  EXPECT_EQ(std::vector<std::wstring>{L"Kestrune Version 1.0"}, labels);
}

TEST_F(LinkedDialogTest, QuestionButtonOpensTheAboutBox) {
  HWND main = dialog->Hwnd();
  bool seen = WhileModalDialogOpen(
      kAboutCaption, [&] { SendMessageW(Item(IDC_HELP_BUTTON), BM_CLICK, 0, 0); },
      [&](HWND box) {
        ExpectAboutBox(box, main);
        // Its link opens the same help page, and the box stays open.
        HWND link = GetDlgItem(box, IDC_HELP_LINK);
        SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(1, help.Count());
        EXPECT_EQ(std::wstring(kHelpPageUrl), help.LastUrl());
        EXPECT_TRUE(IsWindowVisible(box));
      });
  EXPECT_TRUE(seen);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(IsWindowVisible(main));
}

TEST_F(LinkedDialogTest, SystemMenuItemOpensTheSameBox) {
  HWND main = dialog->Hwnd();
  // The About item and any identifier that differs from it only in the low four bits.
  for (WPARAM command : {static_cast<WPARAM>(IDM_ABOUTBOX), static_cast<WPARAM>(IDM_ABOUTBOX + 5)}) {
    bool seen = WhileModalDialogOpen(
        kAboutCaption, [&] { SendMessageW(main, WM_SYSCOMMAND, command, 0); },
        [&](HWND box) { ExpectAboutBox(box, main); });
    EXPECT_TRUE(seen) << command;
  }
  // Other system commands keep their usual meaning.
  SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PumpMessages();
  EXPECT_TRUE(IsIconic(main));
  SendMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  PumpMessages();
  EXPECT_FALSE(IsIconic(main));
}

TEST_F(LinkedDialogTest, ClosingTheAboutBoxDeletesItsUnderlineFont) {
  HWND main = dialog->Hwnd();
  for (int round = 0; round < 50; ++round) {
    HFONT underline = nullptr;
    bool seen = WhileModalDialogOpen(
        kAboutCaption, [&] { SendMessageW(Item(IDC_HELP_BUTTON), BM_CLICK, 0, 0); },
        [&](HWND box) {
          HWND link = GetDlgItem(box, IDC_HELP_LINK);
          underline = PropFont(link, kHyperlinkUnderlineFontProp);
          // Hovering shows the same underline font; the link makes it only once.
          SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
          EXPECT_EQ(underline, CurrentFont(link));
          SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
          EXPECT_EQ(underline, PropFont(link, kHyperlinkUnderlineFontProp));
        });
    ASSERT_TRUE(seen) << "round " << round;
    ASSERT_NE(nullptr, underline);
    ASSERT_EQ(0u, GetObjectType(underline)) << "round " << round;
  }
  EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(LinkedDialogTest, LinkIsDrawnInLinkColourOnly) {
  HWND link = Item(IDC_HELP_LINK);
  HWND label = Item(IDC_HELP_LABEL);
  HDC dc = GetDC(dialog->Hwnd());
  SetTextColor(dc, RGB(1, 2, 3));
  SendMessageW(dialog->Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(link));
  EXPECT_EQ(RGB(0, 0, 192), GetTextColor(dc));
  SetTextColor(dc, RGB(1, 2, 3));
  SendMessageW(dialog->Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(label));
  EXPECT_NE(RGB(0, 0, 192), GetTextColor(dc));
  ReleaseDC(dialog->Hwnd(), dc);
}

TEST_F(LinkedDialogTest, LinkUnderlinesWhileThePointerIsOverIt) {
  HWND link = Item(IDC_HELP_LINK);
  HFONT original = PropFont(link, kHyperlinkOriginalFontProp);
  HFONT underline = PropFont(link, kHyperlinkUnderlineFontProp);
  ASSERT_NE(nullptr, original);
  ASSERT_NE(nullptr, underline);
  EXPECT_EQ(original, CurrentFont(link));  // until the pointer first comes
  LOGFONTW originalFont{};
  LOGFONTW underlineFont{};
  GetObjectW(original, sizeof(originalFont), &originalFont);
  GetObjectW(underline, sizeof(underlineFont), &underlineFont);
  EXPECT_FALSE(originalFont.lfUnderline);
  EXPECT_TRUE(underlineFont.lfUnderline);
  EXPECT_EQ(originalFont.lfHeight, underlineFont.lfHeight);
  EXPECT_EQ(std::wstring(originalFont.lfFaceName), std::wstring(underlineFont.lfFaceName));
  EXPECT_TRUE(GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY);

  SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(underline, CurrentFont(link));
  EXPECT_EQ(link, GetCapture());
  SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(4, 3));  // still inside
  EXPECT_EQ(underline, CurrentFont(link));
  EXPECT_EQ(link, GetCapture());
  SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(4000, 3));  // first movement outside
  EXPECT_EQ(original, CurrentFont(link));
  EXPECT_NE(link, GetCapture());

  EXPECT_EQ(TRUE, SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
}

TEST_F(LinkedDialogTest, ClickOnTheLinkOpensTheHelpPageOnce) {
  HWND link = Item(IDC_HELP_LINK);
  SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  PumpMessages();
  EXPECT_EQ(1, help.Count());
  EXPECT_EQ(std::wstring(kHelpPageUrl), help.LastUrl());
  EXPECT_TRUE(IsWindowVisible(dialog->Hwnd()));

  // Only the click notification of 1052 opens it: not a double click, nor another message
  // whose first parameter reads 1052, nor a click on another control.
  SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_HELP_LINK, STN_DBLCLK),
               reinterpret_cast<LPARAM>(link));
  SendMessageW(dialog->Hwnd(), WM_TIMER, IDC_HELP_LINK, 0);
  SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_HELP_LABEL, STN_CLICKED), 0);
  PumpMessages();
  EXPECT_EQ(1, help.Count());
}

TEST_F(LinkedDialogTest, ParentIsTakenOverOnce) {
  HWND main = dialog->Hwnd();
  auto parentProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(main, GWLP_WNDPROC));
  EXPECT_EQ(&HyperlinkParentProc, parentProc);
  HANDLE original = GetPropW(main, kHyperlinkOriginalProcProp);
  ASSERT_NE(nullptr, original);
  EXPECT_NE(reinterpret_cast<HANDLE>(&HyperlinkParentProc), original);

  // A second link on the same dialog keeps the first takeover.
  HWND label = Item(IDC_HELP_LABEL);
  MakeHyperlink(label);
  EXPECT_EQ(original, GetPropW(main, kHyperlinkOriginalProcProp));
  HDC dc = GetDC(main);
  SendMessageW(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(RGB(0, 0, 192), GetTextColor(dc));
  ReleaseDC(main, dc);

  HFONT underline = PropFont(label, kHyperlinkUnderlineFontProp);
  HFONT mainUnderline = PropFont(Item(IDC_HELP_LINK), kHyperlinkUnderlineFontProp);
  dialog->DestroyWindow();
  EXPECT_EQ(0u, GetObjectType(underline));
  EXPECT_EQ(0u, GetObjectType(mainUnderline));
}

}  // namespace
