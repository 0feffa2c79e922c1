#pragma once
// A run that picks up where an earlier one stopped. The kept reports of earlier runs
// (run_report.h) are read back, and each input of the new run whose output an earlier run of the
// same settings checked whole is done already, while the input and that output are still as
// that run saw them: the new run leaves it out and says which output it relied on.
//
// Which settings count: every option word of the run's settings (SettingsOptionWords) but those
// that change nothing in what an output holds or where it goes: --keep-dates (the output's dates
// only) and --join-anyway (whether a join of differing parts is asked about). The job, codecs,
// container, bit rates, range, tracks, GPU and output folder all must be the same.
//
// Only jobs whose every file makes an output of its own resume file by file (convert and the two
// extracts). A merge of files and a merge of video and audio make one output of all their files:
// they run whole again.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "jobs/job_settings.h"

// A record of a report as read back: what the resume needs of it.
struct CReadRunRecord {
  int position = 0;  // 0 for the join
  std::wstring input;
  int64_t inputSize = -1;
  std::string inputModified;  // as the report writes it (UTC text); empty when unknown
  std::wstring output;
  int64_t outputSize = -1;  // -1 in a report from before outputs' sizes were kept
  std::string outputModified;
  std::string outcome;  // "done", "resumed", "failed", ...
  std::string check;    // "whole", "short", "none", ...
};

struct CReadRunReport {
  std::string started;  // UTC text: reports sort by it
  std::string job;
  std::vector<std::wstring> optionWords;
  std::vector<CReadRunRecord> records;
};

// Reads a report's text. False for a text that is not a run report (another first line, no
// options line); a damaged block is left out, the others kept.
bool ParseRunReport(const std::string& text, CReadRunReport& report);

// The reports of folder (run-*.txt) that read as reports, the oldest first; any file that does
// not is passed over.
std::vector<CReadRunReport> ReadRunReports(const std::wstring& folder);

// An input that an earlier run made whole, and the output the new run relies on.
struct CDoneBefore {
  std::wstring output;
};

// The settings' option words that decide what the outputs are (see above).
std::vector<std::wstring> DecidingOptionWords(const std::vector<std::wstring>& words);

// For each file of settings, the latest of reports (oldest first) run with the same deciding
// words in which that file's output was checked whole (done, or relied on as done by a run that
// resumed), when the file still has the size and modification time that run saw and the output
// is still there with the size and modification time it had then. Files not found are not in
// the map. Empty for a job that does not resume file by file.
std::map<std::wstring, CDoneBefore> FindDoneInputs(const JobSettings& settings,
                                                   const std::vector<CReadRunReport>& reports);

// FindDoneInputs over the reports kept in folder.
std::map<std::wstring, CDoneBefore> FindDoneInputs(const JobSettings& settings, const std::wstring& folder);

// How many entries of settings' list are not in done.
int FilesNotDone(const JobSettings& settings, const std::map<std::wstring, CDoneBefore>& done);
