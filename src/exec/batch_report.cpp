#include "exec/batch_host.h"

bool BatchSucceeded(const CBatchReport& report) {
  return report.filesFailed == 0 && report.filesSkipped == 0 && report.join != JOIN_FAILED &&
         report.join != JOIN_SKIPPED;
}
