// Where a run's files go and what happens once it is done: the output folder (Browse, and its
// check before anything runs) and the "when done" list beside Start with its countdown.
#include <cwctype>

#include "base/message.h"
#include "base/trace.h"
#include "batch/start_check.h"
#include "ui/control_ids.h"
#include "ui/countdown_dlg.h"
#include "ui/main_dlg.h"

namespace {

constexpr TextId kWhenDoneChoices[] = {TXT_WHEN_DONE_NOTHING, TXT_WHEN_DONE_CLOSE, TXT_WHEN_DONE_SLEEP,
                                       TXT_WHEN_DONE_SHUT_DOWN};

// A folder named from a drive's root ("D:\Videos") or on a share ("\\server\share\out"). The
// window's current folder is the program's, which the user never chose, so a name relative to
// it (or to a drive's current folder, as "D:out" is) is not taken.
bool IsFullPath(const std::wstring& folder) {
  if (folder.size() >= 3 && std::iswalpha(folder[0]) && folder[1] == L':' &&
      (folder[2] == L'\\' || folder[2] == L'/'))
    return true;
  return folder.size() >= 3 && folder[0] == L'\\' && folder[1] == L'\\';
}

}  // namespace

void CMainDlg::OnButtonOutputFolderBrowse() {
  if (!folderPicker) return;
  std::wstring chosen =
      folderPicker(Hwnd(), GetItemText(IDC_OUTPUT_FOLDER), Text(TXT_OUTPUT_FOLDER_PICK, uiLanguage));
  if (chosen.empty()) return;  // cancelled: the box keeps what it had
  SetItemText(IDC_OUTPUT_FOLDER, chosen);
  DebugLog(L"OnButtonOutputFolderBrowse-%s", chosen);
}

bool CMainDlg::OutputFolderUsable(const JobSettings& settings) {
  std::wstring folder = settings.outputFolder;
  if (folder.empty()) return true;
  TextId problem = TXT_NONE;
  if (!IsFullPath(folder)) {
    problem = TXT_OUTPUT_FOLDER_NOT_FULL_PATH;
  } else {
    switch (PrepareOutputFolders(settings, folder)) {
      case OUTPUT_FOLDER_MISSING:
        problem = TXT_OUTPUT_FOLDER_MISSING;
        break;
      case OUTPUT_FOLDER_NOT_WRITABLE:
        problem = TXT_OUTPUT_FOLDER_NOT_WRITABLE;
        break;
      default:
        return true;
    }
  }
  DebugLog(L"OnButtonStart-output folder refused-%s", folder);
  ShowProgramMessage(L"%s", FormatText(problem, uiLanguage, folder));
  return false;
}

void CMainDlg::SetUpWhenDone() {
  SendItemMessage(IDC_WHEN_DONE, CB_RESETCONTENT, 0, 0);
  for (TextId choice : kWhenDoneChoices)
    SendItemMessage(IDC_WHEN_DONE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(choice, uiLanguage)));
  SendItemMessage(IDC_WHEN_DONE, CB_SETCURSEL, WHEN_DONE_NOTHING, 0);
}

WhenDone CMainDlg::ChosenWhenDone() const {
  LRESULT chosen = SendItemMessage(IDC_WHEN_DONE, CB_GETCURSEL, 0, 0);
  return chosen >= WHEN_DONE_CLOSE && chosen <= WHEN_DONE_SHUT_DOWN ? static_cast<WhenDone>(chosen)
                                                                    : WHEN_DONE_NOTHING;
}

// The choice is read as the run ends, so it may be made while the run goes on. Only a run that
// went all well leads on: a file that failed, was skipped or came out short, or a stop, is for
// the user to look at, and the window stays as it is.
void CMainDlg::ApplyWhenDone(const CBatchReport& report) {
  const WhenDone choice = ChosenWhenDone();
  if (choice == WHEN_DONE_NOTHING) return;
  if (report.stopped || !BatchSucceeded(report)) {
    DebugLog(L"OnBatchEnd-when done-%d-%s", static_cast<int>(choice), L"not all well");
    return;
  }
  if (choice == WHEN_DONE_CLOSE) {
    DebugLog(L"OnBatchEnd-when done-%d-%s", static_cast<int>(choice), L"close");
    OnCancel();
    return;
  }
  CCountdownDlg countdown(choice == WHEN_DONE_SLEEP ? TXT_COUNTDOWN_SLEEP : TXT_COUNTDOWN_SHUT_DOWN,
                          uiLanguage, powerCountdownSeconds);
  if (countdown.DoModal(Hwnd()) != IDOK) {
    DebugLog(L"OnBatchEnd-when done-%d-%s", static_cast<int>(choice), L"cancelled");
    return;
  }
  if (powerAction && powerAction(choice)) return;
  ShowProgramMessage(L"%s",
                     Text(choice == WHEN_DONE_SLEEP ? TXT_SLEEP_FAILED : TXT_SHUT_DOWN_FAILED, uiLanguage));
}
