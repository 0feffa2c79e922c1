// The preset row in the real registry of the test prefix, in the run's language: the options
// saved under a typed name come back when it is picked; a name taken asks before it is
// replaced; the built-ins are listed in the window's language, set their options and refuse
// Delete; a damaged preset is named and changes nothing.
#include <gtest/gtest.h>

#include "base/text.h"
#include "base/texts.h"
#include "support/trace_capture.h"
#include "ui/control_ids.h"
#include "ui/main_window_fixture.h"

namespace {

class PresetRowTest : public MainWindowFixture {
 protected:
  void Type(int id, const wchar_t* text) {
    SetWindowTextW(Item(id), text);
    PumpMessages();
  }
  // Picks the row of the box that reads name, as a click in its list does.
  void Pick(const std::wstring& name) {
    LRESULT row = SendMessageW(Item(IDC_PRESET), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_NE(CB_ERR, row) << WideToUtf8(name);
    SendMessageW(Item(IDC_PRESET), CB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_PRESET, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_PRESET)));
    PumpMessages();
  }
  // Clicks id, which asks a Yes/No question, and answers it; the question, or empty.
  std::wstring ClickAndAnswer(int id, bool yes) {
    std::wstring asked;
    WhileDialogOpen([](HWND hwnd) { return WindowClass(hwnd) == L"#32770" && GetParent(hwnd) != nullptr; },
                    [&] { Click(id); },
                    [&](HWND box) {
                      for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                        if (WindowClass(c) == L"Static" && !WindowText(c).empty()) asked = WindowText(c);
                      }
                      PostMessageW(box, WM_COMMAND, MAKEWPARAM(yes ? IDYES : IDNO, BN_CLICKED), 0);
                    });
    PumpMessages();
    return asked;
  }
  std::wstring Say(TextId id, const std::wstring& name) const {
    return FormatText(id, dialog->uiLanguage, name);
  }
};

TEST_F(PresetRowTest, SavedOptionsComeBackWhenPickedAndATakenNameAsksFirst) {
  const int32_t language = dialog->uiLanguage;
  Click(IDC_USE_QUANTIZER);
  Type(IDC_QUANTIZER, L"33");
  Click(IDC_CONTAINER_MKV);
  Type(IDC_OUTPUT_FOLDER, L"C:\\out");
  Type(IDC_PRESET, L"  archive  ");
  Click(IDC_PRESET_SAVE);
  EXPECT_EQ(L"archive", Text(IDC_PRESET));

  // Changed, then picked: the saved options are back.
  Click(IDC_USE_QUANTIZER);
  Type(IDC_QUANTIZER, L"20");
  Click(IDC_CONTAINER_MKV);
  Type(IDC_OUTPUT_FOLDER, L"");
  Pick(L"archive");
  EXPECT_TRUE(Checked(IDC_USE_QUANTIZER));
  EXPECT_EQ(L"33", Text(IDC_QUANTIZER));
  EXPECT_TRUE(Checked(IDC_CONTAINER_MKV));
  EXPECT_EQ(L"C:\\out", Text(IDC_OUTPUT_FOLDER));

  // Saved again under the same name: asked, and No keeps the old one.
  Type(IDC_QUANTIZER, L"40");
  Type(IDC_PRESET, L"archive");
  EXPECT_EQ(Say(TXT_PRESET_REPLACE, L"archive"), ClickAndAnswer(IDC_PRESET_SAVE, false));
  Type(IDC_QUANTIZER, L"1");
  Pick(L"archive");
  EXPECT_EQ(L"33", Text(IDC_QUANTIZER));

  // A built-in: listed in the window's language, sets its encoding, refuses Delete and Save.
  const std::wstring phone = ::Text(TXT_PRESET_PHONE, language);
  Pick(phone);
  EXPECT_EQ((std::vector<bool>{true, false, false, false, false}), CheckedRows(IDC_OUTPUT_CODEC_LIST));
  EXPECT_TRUE(Checked(IDC_CONTAINER_MP4));
  EXPECT_FALSE(Checked(IDC_CONTAINER_MKV));
  EXPECT_EQ(L"2000", Text(IDC_VIDEO_BITRATE));
  EXPECT_EQ(L"C:\\out", Text(IDC_OUTPUT_FOLDER));  // the folder stays the user's
  {
    MessageCapture messages;
    Type(IDC_PRESET, phone.c_str());
    Click(IDC_PRESET_DELETE);
    Click(IDC_PRESET_SAVE);
    EXPECT_EQ(
        (std::vector<std::wstring>{Say(TXT_PRESET_IS_BUILT_IN, phone), Say(TXT_PRESET_IS_BUILT_IN, phone)}),
        messages.Messages());
  }

  // Deleted after a Yes: gone from the list, in this window and the next.
  Type(IDC_PRESET, L"archive");
  EXPECT_EQ(Say(TXT_PRESET_DELETE_ASK, L"archive"), ClickAndAnswer(IDC_PRESET_DELETE, true));
  EXPECT_EQ(CB_ERR, SendMessageW(Item(IDC_PRESET), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(L"archive")));
  EXPECT_EQ(2, SendMessageW(Item(IDC_PRESET), CB_GETCOUNT, 0, 0));
}

TEST_F(PresetRowTest, ADamagedPresetIsNamedAndChangesNothing) {
  StoreText(L"preset.broken", L"no preset at all");
  StoreText(L"preset.half", L"kestrune preset 1\nopt_quantizer=99\nopt_scale1080=1\n");
  dialog.reset();
  PumpMessages();
  dialog = std::make_unique<CMainDlg>();
  ASSERT_TRUE(dialog->Create(nullptr));
  PumpMessages();
  MessageCapture messages;
  Pick(L"broken");
  EXPECT_FALSE(Checked(IDC_SCALE_1080));
  Pick(L"half");
  EXPECT_TRUE(Checked(IDC_SCALE_1080));
  EXPECT_EQ(L"28", Text(IDC_QUANTIZER));
  EXPECT_EQ((std::vector<std::wstring>{Say(TXT_PRESET_DAMAGED, L"broken"),
                                       FormatText(TXT_PRESET_DAMAGED_VALUES, dialog->uiLanguage,
                                                  std::wstring(L"half"), std::wstring(L"opt_quantizer"))}),
            messages.Messages());
}

}  // namespace
