#pragma once
// Whether each control's text fits inside the control, measured with the control's own font at
// the display's resolution: a label's line within its width (or its lines within its height), a
// check box's or radio button's text beside its box, a push button's within its margins, a
// group box's caption within its frame, a drop-down list's every row within the part that
// shows the choice, an edit box's text within its margins. List views scroll and are not
// looked at; neither are hidden controls.
#include <windows.h>

#include <string>
#include <vector>

struct CTextMisfit {
  int id;
  std::wstring text;
  int needed;     // pixels the text needs, with the control's own parts (box, margins)
  int available;  // pixels the control has
};

// Every visible control of dialog whose text does not fit.
std::vector<CTextMisfit> FindTextMisfits(HWND dialog);
