#include "jobs/command_safety.h"

#include "base/trace.h"

bool IsQuotablePath(const std::wstring& path) {
  if (path.find(L'"') == std::wstring::npos) return true;
  DebugLog(L"BuildCommand - 따옴표가 든 경로는 명령행에 쓸 수 없습니다: %s", path);
  return false;
}
