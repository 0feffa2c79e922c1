#include "ui/help_link.h"

#include <shellapi.h>

#include <atomic>

#include "jobs/control_ids.h"

namespace {

void ShellOpen(const wchar_t* url) { ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWNORMAL); }

std::atomic<HelpPageOpener> currentOpener{nullptr};

}  // namespace

HelpPageOpener SetHelpPageOpener(HelpPageOpener opener) { return currentOpener.exchange(opener); }

void OpenHelpPage() {
  HelpPageOpener opener = currentOpener.load();
  (opener ? opener : &ShellOpen)(kHelpPageUrl);
}

void HelpLinkHook(UINT message, WPARAM w) {
  // Only a command carries a click: another message whose first parameter happens to read
  // 1052 (a timer id, a device context) must not start the browser.
  if (message != WM_COMMAND) return;
  if (HIWORD(w) == 0 && LOWORD(w) == IDC_HELP_LINK) OpenHelpPage();
}
