#pragma once
// Makes any static text control a link: dark blue text, underlined while the pointer is over
// it, a hand cursor, and a click reported to the parent as a command notification. The link
// has no class of its own: it replaces the window procedures of the control and of its parent
// and keeps its state in named window properties, so one call is all a dialog needs.
#include <windows.h>

// The window properties that carry a link's state.
constexpr const wchar_t* kHyperlinkOriginalProcProp = L"_Hyperlink_Original_Proc_";
constexpr const wchar_t* kHyperlinkOriginalFontProp = L"_Hyperlink_Original_Font_";
constexpr const wchar_t* kHyperlinkUnderlineFontProp = L"_Hyperlink_Underline_Font_";
constexpr const wchar_t* kHyperlinkFromStaticProp = L"_Hyperlink_From_Static_";

constexpr COLORREF kHyperlinkColour = RGB(0, 0, 192);

void MakeHyperlink(HWND control);

LRESULT CALLBACK HyperlinkParentProc(HWND parent, UINT message, WPARAM w, LPARAM l);
LRESULT CALLBACK HyperlinkStaticProc(HWND control, UINT message, WPARAM w, LPARAM l);

// The help page, opened by the link of the main dialog and of the About box (control 1052).
// The program's own site; the About box shows its address, the links open its help page.
constexpr const wchar_t* kHelpPageUrl = L"http://www.kestrune.org/help";

// What opens an address in the user's browser. Tests replace it so no browser starts.
using HelpPageOpener = void (*)(const wchar_t* url);
// Returns the previous opener; null restores the shell's "open".
HelpPageOpener SetHelpPageOpener(HelpPageOpener opener);

// Opens the help page; a failure is not reported.
void OpenHelpPage();

// Called with every message that reaches the dialog procedure of a dialog with a help link:
// the click notification of control 1052 opens the help page. Never consumes the message.
void HelpLinkHook(UINT message, WPARAM w);
