#pragma once
// The help page and the hook through which the main dialog and the About box open it when
// their link (control 1052) is clicked.
#include <windows.h>

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
