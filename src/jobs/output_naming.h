#pragma once
// Chooses the path a command writes: beside the input, numbered _(02), _(03), ... whenever the
// name is taken, with the extension of the job and the chosen container or codec.
#include <string>

#include "jobs/job_settings.h"

// False (out untouched) only when inputPath is empty or ends with ".". The result is never
// inputPath itself while it exists, and never an existing file, except for the fixed ".ts"
// name of a merge-files job.
bool GetOutputFileName(const JobSettings& settings, const std::wstring& inputPath, std::wstring& out);
