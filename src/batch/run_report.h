#pragma once
// The report of a run: a UTF-8 text that says how each entry of the list, and the join of a
// merge, ended and why. The window keeps the last runs' reports in the user's own folder
// (UserDataFolder(L"runs")); the command line writes one where --report says. The format is
// meant to stay: a later run reads it back to learn which outputs were checked whole.
//
//   Kestrune run report 1
//   started: 2024-05-01T09:12:03Z          (UTC)
//   ended: 2024-05-01T09:14:40Z
//   job: convert
//   options: --job convert --codec h265 --no-gpu --bitrate 3000 ...   (the command line's words)
//   files: 3
//   done: 1 / failed: 1 / skipped: 1 / short: 0    (one line each)
//   resumed: 2                             (only when the run left files out as done before)
//   join: none|done|failed|skipped|short
//   stopped: no|yes
//
//   [file 1/3]                             (or [join], the last block)
//   input: /v/a.mp4                        (a join has a line "part: ..." per part instead)
//   input size: 189440                     (bytes; -1 when it could not be read)
//   input modified: 2024-04-30T10:11:12Z   (empty when unknown)
//   command: FFMpeg.exe -y -i "/v/a.mp4" ...   (empty when none was made)
//   output: /v/a_(02).mp4
//   outcome: done|failed|skipped|short|resumed
//   check: whole|short|missing|unreadable|no stream|no length|none   (none: not checked)
//   expected ms: 30000                     (0: not known)
//   output ms: 30021                       (0: not measured)
//   reason: exit status 1: Unknown encoder 'x'   (empty when done)
//   seconds taken: 12.3
//   output size: 181234                    (these two only for an output checked whole, or
//   output modified: 2024-05-01T09:13:00Z   relied on by a resumed run: what it was then)
//
// Each line is "key: value"; blocks are separated by a blank line. In a value, "%" and every
// control character (a line break in a file name) are written as "%" and two hexadecimal
// digits ("%25", "%0A"), so a value always stays on its line.
#include <cstdint>
#include <string>

#include "batch/batch_host.h"

// How many reports the user's folder keeps; the oldest beyond go.
constexpr int kKeptRunReports = 20;

// A time as the report writes it: "2024-05-01T09:12:03Z" (UTC); empty for an unknown time (0).
std::string ReportTimeText(int64_t seconds);

// The report's text.
std::string FormatRunReport(const CBatchReport& report);

// The outcome of a record in words of the language ("failed", "실패").
const wchar_t* RecordOutcomeText(const CRunRecord& record, int32_t uiLanguage);
// Why a record did not end as done, in the language; empty when it is done.
std::wstring RecordReasonText(const CRunRecord& record, int32_t uiLanguage);

// A value as the report writes it (see above), and back.
std::string EscapeReportValue(const std::string& value);
std::string UnescapeReportValue(const std::string& value);

// Writes the report as the new file path; never over anything of that name. False when the
// file could not be made or written (nothing of it is then left).
bool WriteRunReport(const CBatchReport& report, const std::wstring& path);

// Writes the report into folder as run-YYYYMMDD-HHMMSS.txt, named by the run's start in local
// time (run-..._2.txt and on when the name is taken), then removes the oldest such reports
// beyond kKeptRunReports. The report's path; empty when it could not be written.
std::wstring KeepRunReport(const CBatchReport& report, const std::wstring& folder);

// The report of a run kept in a folder as the run goes, under KeepRunReport's names: the head
// is written as the run starts, each entry's block is added as that entry ends, and the whole
// report takes the file's place when the run ends. A run killed outright (a power cut, a kill)
// so leaves the blocks of the entries it finished, and a later run resumes from them; its head
// then has no end time and counts nothing. One thread at a time.
class CRunReportFile {
 public:
  // Claims a new name in folder for the run report describes as it starts (its start, job and
  // options; no records and no end yet) and writes it: the head. False when no file could be
  // made there; the calls below then do nothing.
  bool Begin(const CBatchReport& report, const std::wstring& folder);
  // Adds record's block at the file's end.
  void Add(const CRunRecord& record, int fileCount);
  // Puts the whole report in the file's place (it keeps all of its old text or has all of the
  // new, whenever the run dies). False when it could not be written.
  bool End(const CBatchReport& report);
  // The file; empty before Begin or when Begin failed.
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};
