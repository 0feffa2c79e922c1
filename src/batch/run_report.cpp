#include "batch/run_report.h"

#include <fcntl.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/command_quoting.h"
#include "base/duration_text.h"
#include "base/file_util.h"
#include "base/text.h"
#include "base/texts.h"
#include "jobs/option_words.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace {

const char kFirstLine[] = "Kestrune run report 1";

std::tm UtcTime(int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
#ifdef _WIN32
  gmtime_s(&parts, &time);
#else
  gmtime_r(&time, &parts);
#endif
  return parts;
}

std::tm LocalTime(int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
#ifdef _WIN32
  localtime_s(&parts, &time);
#else
  localtime_r(&time, &parts);
#endif
  return parts;
}

}  // namespace

std::string ReportTimeText(int64_t seconds) {
  if (seconds <= 0) return std::string();
  const std::tm t = UtcTime(seconds);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

namespace {

const char* OutcomeWord(FileOutcome outcome) {
  switch (outcome) {
    case FILE_DONE:
      return "done";
    case FILE_FAILED:
      return "failed";
    case FILE_SHORT:
      return "short";
    case FILE_RESUMED:
      return "resumed";
    default:
      return "skipped";
  }
}

const char* JoinWord(JoinOutcome join) {
  switch (join) {
    case JOIN_DONE:
      return "done";
    case JOIN_FAILED:
      return "failed";
    case JOIN_SKIPPED:
      return "skipped";
    case JOIN_SHORT:
      return "short";
    default:
      return "none";
  }
}

const char* CheckWord(const CRunRecord& record) {
  if (!record.checked) return "none";
  switch (record.check) {
    case OUTPUT_WHOLE:
      return "whole";
    case OUTPUT_SHORT:
      return "short";
    case OUTPUT_UNREADABLE:
      return "unreadable";
    case OUTPUT_NO_STREAM:
      return "no stream";
    case OUTPUT_NO_LENGTH:
      return "no length";
    default:
      return "missing";
  }
}

// The options as one line: each word as a command line carries it (quoted when it holds a
// blank), so the line splits back into the same words.
std::wstring OptionLine(const std::vector<std::wstring>& words) {
  std::wstring line;
  for (const std::wstring& word : words) line += (line.empty() ? L"" : L" ") + QuoteArgument(word);
  return line;
}

void Line(std::string& text, const char* key, const std::string& value) {
  text += key;
  text += ':';
  if (!value.empty()) text += ' ' + EscapeReportValue(value);
  text += '\n';
}

void Line(std::string& text, const char* key, const std::wstring& value) {
  Line(text, key, WideToUtf8(value));
}

void Line(std::string& text, const char* key, int64_t value) { Line(text, key, std::to_string(value)); }

void Block(std::string& text, const CRunRecord& record, int fileCount) {
  text += '\n';
  if (record.position > 0) {
    text += "[file " + std::to_string(record.position) + "/" + std::to_string(fileCount) + "]\n";
    Line(text, "input", record.input);
  } else {
    text += "[join]\n";
    for (const std::wstring& part : record.parts) Line(text, "part", part);
  }
  if (record.position > 0) {
    Line(text, "input size", record.inputSize);
    Line(text, "input modified", ReportTimeText(record.inputModified));
  }
  Line(text, "command", record.command);
  Line(text, "output", record.output);
  Line(text, "outcome", OutcomeWord(record.outcome));
  Line(text, "check", CheckWord(record));
  Line(text, "expected ms", record.expectedMs);
  Line(text, "output ms", record.outputMs);
  Line(text, "reason", RecordReasonText(record, kUiLanguageEnglish));
  char taken[32];
  std::snprintf(taken, sizeof taken, "%.1f", record.secondsTaken);
  Line(text, "seconds taken", std::string(taken));
  // What a later run that resumes checks the output against; said only where it is known.
  if (record.outputSize >= 0) {
    Line(text, "output size", record.outputSize);
    Line(text, "output modified", ReportTimeText(record.outputModified));
  }
}

#ifdef _WIN32
using NativeName = std::wstring;
int OpenNew(const std::wstring& path) {
  return _wopen(LongPathForm(path).c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY | _O_NOINHERIT,
                _S_IREAD | _S_IWRITE);
}
bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    int n = _write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}
int OpenToAppend(const std::wstring& path) {
  return _wopen(LongPathForm(path).c_str(), _O_WRONLY | _O_APPEND | _O_BINARY | _O_NOINHERIT);
}
bool CloseFile(int fd) { return _close(fd) == 0; }
std::wstring NameOf(const std::filesystem::path& path) { return path.filename().wstring(); }
#else
int OpenNew(const std::wstring& path) {
  return open(PathToNative(path).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
}
bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}
int OpenToAppend(const std::wstring& path) {
  return open(PathToNative(path).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
}
bool CloseFile(int fd) { return close(fd) == 0; }
std::wstring NameOf(const std::filesystem::path& path) { return Utf8ToWide(path.filename().string()); }
#endif

// "run-20240501-091203.txt", or with "_2" and on before ".txt".
bool IsReportName(const std::wstring& name) {
  if (name.size() < 23 || name.compare(0, 4, L"run-") != 0 || name.compare(name.size() - 4, 4, L".txt") != 0)
    return false;
  for (size_t i = 4; i < 19; ++i) {
    const bool digit = name[i] >= L'0' && name[i] <= L'9';
    if (i == 12 ? name[i] != L'-' : !digit) return false;
  }
  return name.size() == 23 || name[19] == L'_';
}

// The oldest reports of folder beyond the kept number go; names sort by time.
void RemoveOldReports(const std::wstring& folder) {
  std::vector<std::wstring> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(FsPath(folder), error), end; !error && entry != end;
       entry.increment(error)) {
    std::wstring name = NameOf(entry->path());
    if (IsReportName(name)) names.push_back(name);
  }
  if (static_cast<int>(names.size()) <= kKeptRunReports) return;
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    // "run-..-091203.txt" before "run-..-091203_2.txt": the name without ".txt" decides.
    return a.substr(0, a.size() - 4) < b.substr(0, b.size() - 4);
  });
  for (size_t i = 0; i + kKeptRunReports < names.size(); ++i) RemoveFile(folder + names[i]);
}

}  // namespace

std::string EscapeReportValue(const std::string& value) { return PercentEscape(value, IsLineChar); }

std::string UnescapeReportValue(const std::string& value) {
  std::string out;
  PercentUnescape(value, out);  // a "%" that begins no escape stays as it is
  return out;
}

const wchar_t* RecordOutcomeText(const CRunRecord& record, int32_t uiLanguage) {
  switch (record.outcome) {
    case FILE_DONE:
      return Text(TXT_OUTCOME_DONE, uiLanguage);
    case FILE_FAILED:
      return Text(TXT_OUTCOME_FAILED, uiLanguage);
    case FILE_SHORT:
      return Text(TXT_OUTCOME_SHORT, uiLanguage);
    case FILE_RESUMED:
      return Text(TXT_OUTCOME_RESUMED, uiLanguage);
    default:
      return Text(TXT_OUTCOME_SKIPPED, uiLanguage);
  }
}

std::wstring RecordReasonText(const CRunRecord& record, int32_t uiLanguage) {
  switch (record.reason) {
    case REASON_EXIT_STATUS:
      return record.errorLine.empty()
                 ? FormatText(TXT_REASON_EXIT_STATUS_ONLY, uiLanguage, record.exitStatus)
                 : FormatText(TXT_REASON_EXIT_STATUS, uiLanguage, record.exitStatus, record.errorLine);
    case REASON_INTERRUPTED:
      return Text(TXT_REASON_INTERRUPTED, uiLanguage);
    case REASON_NO_OUTPUT:
      return Text(TXT_REASON_NO_OUTPUT, uiLanguage);
    case REASON_UNCLAIMED:
      return Text(TXT_REASON_UNCLAIMED, uiLanguage);
    case REASON_SHORT:
      return FormatText(TXT_REASON_SHORT, uiLanguage, SecondsText(record.outputMs),
                        SecondsText(record.expectedMs));
    case REASON_UNTRUSTED_OUTPUT:
      return Text(record.check == OUTPUT_UNREADABLE  ? TXT_REASON_UNREADABLE
                  : record.check == OUTPUT_NO_STREAM ? TXT_REASON_NO_STREAM
                                                     : TXT_REASON_NO_LENGTH,
                  uiLanguage);
    case REASON_NOT_PROBED:
      return Text(TXT_REASON_NOT_PROBED, uiLanguage);
    case REASON_REFUSED:
      return RefusalText(record.refusal, uiLanguage);
    case REASON_STOPPED:
      return Text(TXT_REASON_STOPPED, uiLanguage);
    case REASON_NOT_REACHED:
      return Text(TXT_REASON_NOT_REACHED, uiLanguage);
    case REASON_PARTS_MISSING:
      return Text(TXT_REASON_PARTS_MISSING, uiLanguage);
    default:
      return std::wstring();
  }
}

std::string FormatRunReport(const CBatchReport& report) {
  std::string text = std::string(kFirstLine) + "\n";
  Line(text, "started", ReportTimeText(report.startedAt));
  Line(text, "ended", ReportTimeText(report.endedAt));
  Line(text, "job", std::wstring(JobName(report.jobKind)));
  Line(text, "options", OptionLine(report.optionWords));
  Line(text, "files", static_cast<int64_t>(report.fileCount));
  Line(text, "done", static_cast<int64_t>(report.filesDone));
  Line(text, "failed", static_cast<int64_t>(report.filesFailed));
  Line(text, "skipped", static_cast<int64_t>(report.filesSkipped));
  Line(text, "short", static_cast<int64_t>(report.filesShort));
  if (report.filesResumed > 0) Line(text, "resumed", static_cast<int64_t>(report.filesResumed));
  Line(text, "join", JoinWord(report.join));
  Line(text, "stopped", report.stopped ? "yes" : "no");
  for (const CRunRecord& record : report.records) Block(text, record, report.fileCount);
  return text;
}

namespace {
// Writes text as the new file path; never over anything of that name. False when the file
// could not be made or written (nothing of it is then left).
bool WriteNewFile(const std::string& text, const std::wstring& path) {
  const int fd = OpenNew(path);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, text);
  if (CloseFile(fd) && written) return true;
  RemoveFile(path);
  return false;
}

// Writes text into folder under the name of a report of a run started at startedAt, then lets
// the oldest reports go. The file's path; empty when none could be written.
std::wstring KeepReportText(const std::string& text, int64_t startedAt, const std::wstring& folder) {
  if (folder.empty()) return std::wstring();
  const std::tm t = LocalTime(startedAt);
  char stamp[80];
  std::snprintf(stamp, sizeof stamp, "run-%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  std::wstring kept;
  for (int attempt = 1; attempt <= 100 && kept.empty(); ++attempt) {
    std::wstring path = folder + Utf8ToWide(stamp) +
                        (attempt == 1 ? std::wstring() : L"_" + std::to_wstring(attempt)) + L".txt";
    if (FileExists(path)) continue;
    if (WriteNewFile(text, path)) kept = path;
  }
  RemoveOldReports(folder);
  return kept;
}
}  // namespace

bool WriteRunReport(const CBatchReport& report, const std::wstring& path) {
  return WriteNewFile(FormatRunReport(report), path);
}

std::wstring KeepRunReport(const CBatchReport& report, const std::wstring& folder) {
  return KeepReportText(FormatRunReport(report), report.startedAt, folder);
}

bool CRunReportFile::Begin(const CBatchReport& report, const std::wstring& folder) {
  path_ = KeepReportText(FormatRunReport(report), report.startedAt, folder);
  return !path_.empty();
}

// The block goes in one write, so a run that is killed leaves it whole.
void CRunReportFile::Add(const CRunRecord& record, int fileCount) {
  if (path_.empty()) return;
  std::string text;
  Block(text, record, fileCount);
  const int fd = OpenToAppend(path_);
  if (fd < 0) return;
  WriteAll(fd, text);
  CloseFile(fd);
}

bool CRunReportFile::End(const CBatchReport& report) {
  return !path_.empty() && WriteWholeFile(path_, FormatRunReport(report));
}
