#include "probe/report_folder.h"

std::wstring ReportFolder(const std::wstring& programDir) {
  if (CanCreateFileIn(programDir)) return programDir;
  return UserReportFolder();
}
