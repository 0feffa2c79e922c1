#include "exec/app_create_plan.h"

#include <algorithm>

#include "base/format.h"
#include "base/text.h"

namespace {

// Position just after the first ".exe" or ".bat" of the lower-cased line, or npos.
size_t ProgramEnd(const std::wstring& commandLine) {
  std::wstring lower = ToLowerText(commandLine);
  size_t exe = lower.find(L".exe");
  size_t bat = lower.find(L".bat");
  size_t found = std::min(exe, bat);
  return found == std::wstring::npos ? found : found + 4;
}

int DriveNumber(const std::wstring& path) {
  if (path.size() < 2 || path[1] != L':') return 0;
  wchar_t letter = path[0];
  if (letter >= L'A' && letter <= L'Z') letter = static_cast<wchar_t>(letter - L'A' + L'a');
  if (letter < L'a' || letter > L'z') return 0;
  return letter - L'a' + 1;
}

}  // namespace

bool PlanAppLaunch(const std::wstring& commandLine, const std::wstring& programDir, wchar_t separator,
                   AppLaunchPlan& plan) {
  size_t end = ProgramEnd(commandLine);
  if (end == std::wstring::npos) return false;

  AppLaunchPlan made;
  std::wstring head = commandLine.substr(0, end);
  made.programPath = head;
  made.programPath.erase(std::remove(made.programPath.begin(), made.programPath.end(), L'"'),
                         made.programPath.end());
  made.argumentText = commandLine.substr(end);

  // An odd number of quotes before the end of the program name means the name was quoted and
  // its closing quote is the first character of the argument text.
  bool closingQuoteFollows = std::count(head.begin(), head.end(), L'"') % 2 == 1 &&
                             !made.argumentText.empty() && made.argumentText[0] == L'"';
  made.argumentsOnly = closingQuoteFollows ? made.argumentText.substr(1) : made.argumentText;

  if (made.programPath.find(separator) == std::wstring::npos) {
    // A bare name runs from the program folder. A quoted bare name would leave its closing
    // quote in front of the arguments and unbalance every quote after it; the arguments alone
    // give the same line as the unquoted name.
    made.commandToRun = Sprintf(L"\"%s%s\" %s", programDir, made.programPath, made.argumentsOnly);
    made.programToRun = programDir + made.programPath;
  } else {
    made.commandToRun = commandLine;
    made.programToRun = made.programPath;
  }

  size_t lastSeparator = made.programPath.rfind(separator);
  if (lastSeparator != std::wstring::npos && lastSeparator > 0)
    made.workingFolder = made.programPath.substr(0, lastSeparator);
  made.drive = made.workingFolder.empty() ? 0 : DriveNumber(made.programPath);

  plan = made;
  return true;
}

std::wstring RunnableProgramPath(const std::wstring& programPath, bool posix) {
  if (!posix || programPath.size() < 4) return programPath;
  std::wstring extension = ToLowerText(programPath.substr(programPath.size() - 4));
  if (extension != L".bat") return programPath;
  return programPath.substr(0, programPath.size() - 4) + L".sh";
}
