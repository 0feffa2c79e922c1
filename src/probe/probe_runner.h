#pragma once
// Probes one media file: runs exec.bat (exec.sh on POSIX) from the program folder, which has
// MediaInfo write its text report to media.txt (in the program folder, or in the user's own
// folder where the program folder cannot be written: report_folder.h), waits for the report
// and parses it.
// Probes never overlap: one process-wide lock serialises them.
#include <string>
#include <vector>

#include "probe/media_desc.h"

// True when the report was parsed successfully.
bool ProbeMediaFile(const std::wstring& inputPath, MediaDesc& media);

// A probe that may run beside others: MediaInfo is started directly with the file (no batch
// file, no change of the current folder) and its report written to reportPath, a file of the
// caller's own that no other probe uses; no lock is taken. True when the report was parsed
// successfully, as for ProbeMediaFile.
bool ProbeMediaFileAlone(const std::wstring& inputPath, MediaDesc& media, const std::wstring& reportPath);

// Probes several files with one MediaInfo run, started directly as by ProbeMediaFileAlone, its
// report written to reportPath (a file of the caller's own): one run over many short files
// costs little more than a run over one. Each file's description is parsed from its own
// section of that report (SplitMediaReport), just as from a report of that file alone; a file
// the report does not surely describe, and one whose name holds a line break (MediaInfo writes
// it as " / "), is probed alone, with the same report file. No lock is
// taken. media and probed are given one entry per path; probed[i] is set when paths[i]'s
// description was parsed.
void ProbeMediaFilesTogether(const std::vector<std::wstring>& paths, std::vector<MediaDesc>& media,
                             std::vector<char>& probed, const std::wstring& reportPath);
