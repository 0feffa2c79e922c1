#pragma once
// Probes one media file: runs exec.bat (exec.sh on POSIX) from the program folder, which has
// MediaInfo write its text report to media.txt (in the program folder, or in the user's own
// folder where the program folder cannot be written: report_folder.h), waits for the report
// and parses it.
// Probes never overlap: one process-wide lock serialises them.
#include <string>

#include "probe/media_desc.h"

// True when the report was parsed successfully.
bool ProbeMediaFile(const std::wstring& inputPath, MediaDesc& media);

// A probe that may run beside others: MediaInfo is started directly with the file (no batch
// file, no change of the current folder) and its report written to reportPath, a file of the
// caller's own that no other probe uses; no lock is taken. True when the report was parsed
// successfully, as for ProbeMediaFile.
bool ProbeMediaFileAlone(const std::wstring& inputPath, MediaDesc& media, const std::wstring& reportPath);
