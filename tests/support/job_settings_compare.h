#pragma once
// Field-by-field comparison of two job settings, so a failure names the field that differs.
// currentFile is left out: it follows the dialog's clicks, not the options.
#include "jobs/job_settings.h"

void ExpectSameSettings(const JobSettings& a, const JobSettings& b);
