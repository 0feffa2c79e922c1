#pragma once
// The countdown before the computer sleeps or shuts down at the end of a run (template 130):
// the seconds left, counted down each second, and Cancel. Run modally over the main window.
#include <cstdint>

#include "base/texts.h"
#include "ui/dialog_base.h"

class CCountdownDlg : public CDialogBase {
 public:
  // text: its wording, with "%d" for the seconds left; seconds: where the count starts.
  CCountdownDlg(TextId text, int32_t uiLanguage, int seconds);

  // DoModal gives IDOK once the count has run out, IDCANCEL when the user stopped it (Cancel,
  // Escape, the close box).

  int SecondsLeft() const { return left_; }

 protected:
  bool OnInitDialog() override;
  // Enter is Cancel's here, the default button; nothing but the count running out ends it
  // with IDOK.
  void OnOK() override {}
  bool OnMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result) override;

 private:
  void ShowSecondsLeft();

  const TextId text_;
  const int32_t uiLanguage_;
  int left_;
};
