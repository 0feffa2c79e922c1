// The media-info button (hidden, but wired): MediaInfo's full report of the current file in a
// console window, then the file probed again for the trace.
#include <algorithm>
#include <string>
#include <vector>

#include "base/message.h"
#include "base/text.h"
#include "base/trace.h"
#include "exec/find_executable.h"
#include "install/download_addresses.h"
#include "probe/media_summary.h"
#include "probe/probe_runner.h"
#include "ui/main_dlg.h"

namespace {
constexpr int kFileNotFound = 2;
const wchar_t kMediaInfoCommandFormat[] = L"mediainfo \"%s\" & pause";
const wchar_t kMediaInfoMissingFormat[] = L"MediaInfo.exe 파일이 없습니다. %s 에서 다운로드 하세요.";
}  // namespace

void CMainDlg::OnButtonMediaInfo() {
  const std::wstring& file = jobSettings.currentFile;
  if (file.empty()) return;
  std::wstring found;
  if (FindExecutablePath(L"mediainfo.exe", found) == kFileNotFound) {
    ShowMessage(kMediaInfoMissingFormat, std::wstring(kMediaInfoPageAddress));
    return;
  }

  // The console program takes narrow text. The buffer is sized from the converted command, so
  // a long path is handed over whole instead of as an empty or cut command.
  std::wstring command = Sprintf(kMediaInfoCommandFormat, file);
  // (Never smaller than the wide length, which the conversion also asks room for.)
  size_t size = std::max(WideToAnsi(command).size(), command.size()) + 1;
  std::vector<char> narrow(size, '\0');
  int length = WideToNarrow(command.c_str(), narrow.data(), static_cast<int>(narrow.size()));
  if (length > 0) narrowCommandRunner(std::string(narrow.data(), static_cast<size_t>(length)));

  ProbeMediaFile(file, currentMedia);
  std::wstring summary;
  FormatMediaSummary(currentMedia, summary);
  DebugLog(L"%s", summary);
}
