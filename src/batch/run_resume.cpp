#include "batch/run_resume.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/file_util.h"
#include "base/text.h"
#include "base/trace.h"
#include "batch/run_report.h"
#include "exec/command_line_split.h"
#include "jobs/option_words.h"

namespace {

const char kFirstLine[] = "Kestrune run report 1";
// A report of a run of many files is long, but not this long: anything beyond is not one.
constexpr size_t kMostReportBytes = 64u * 1024u * 1024u;

// "key: value" (or "key:" with an empty value); false for any other line.
bool SplitLine(const std::string& line, std::string& key, std::string& value) {
  const size_t colon = line.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  key = line.substr(0, colon);
  if (colon + 1 == line.size()) {
    value.clear();
    return true;
  }
  if (line[colon + 1] != ' ') return false;
  value = UnescapeReportValue(line.substr(colon + 2));
  return true;
}

// A whole decimal number, sign allowed; false for anything else.
bool ReadNumber(const std::string& text, int64_t& number) {
  if (text.empty() || text.size() > 20) return false;
  char* end = nullptr;
  const long long read = std::strtoll(text.c_str(), &end, 10);
  if (end == nullptr || *end != '\0') return false;
  number = read;
  return true;
}

// The block header "[file 3/6]" gives 3; "[join]" gives 0; anything else -1.
int BlockPosition(const std::string& line) {
  if (line == "[join]") return 0;
  if (line.compare(0, 6, "[file ") != 0 || line.back() != ']') return -1;
  const size_t slash = line.find('/');
  int64_t position = 0;
  if (slash == std::string::npos || !ReadNumber(line.substr(6, slash - 6), position) || position <= 0 ||
      position > 1000000)
    return -1;
  return static_cast<int>(position);
}

// One line of a block; false for a line a block does not hold, which makes the block damaged.
bool ReadRecordLine(const std::string& key, const std::string& value, CReadRunRecord& record) {
  int64_t number = 0;
  if (key == "input") {
    record.input = Utf8ToWide(value);
  } else if (key == "output") {
    record.output = Utf8ToWide(value);
  } else if (key == "input size" || key == "output size") {
    if (!ReadNumber(value, number)) return false;
    (key == "input size" ? record.inputSize : record.outputSize) = number;
  } else if (key == "input modified") {
    record.inputModified = value;
  } else if (key == "output modified") {
    record.outputModified = value;
  } else if (key == "outcome") {
    record.outcome = value;
  } else if (key == "check") {
    record.check = value;
  }
  // Other keys (command, reason, the lengths, ...) and keys of later versions say nothing the
  // resume needs.
  return true;
}

#ifdef _WIN32
std::wstring NameOf(const std::filesystem::path& path) { return path.filename().wstring(); }
#else
std::wstring NameOf(const std::filesystem::path& path) { return Utf8ToWide(path.filename().string()); }
#endif

bool IsPerFileResumable(int32_t jobKind) {
  return jobKind == JOB_CONVERT || jobKind == JOB_VIDEO_EXTRACT || jobKind == JOB_AUDIO_EXTRACT;
}

// The record's input and output are still as the run that made the output saw them.
bool StillAsRecorded(const CReadRunRecord& record) {
  int64_t size = -1;
  int64_t modified = 0;
  if (!GetFileStamp(record.input, size, modified) || size != record.inputSize ||
      record.inputModified.empty() || ReportTimeText(modified) != record.inputModified)
    return false;
  if (record.output.empty() || IsDirectory(record.output) || !GetFileStamp(record.output, size, modified))
    return false;
  // A report from before outputs' stamps were kept: the output being there is all it can tell.
  if (record.outputSize < 0) return size > 0;
  return size == record.outputSize && ReportTimeText(modified) == record.outputModified;
}

}  // namespace

bool ParseRunReport(const std::string& text, CReadRunReport& report) {
  report = CReadRunReport();
  std::vector<std::string> lines;
  for (std::string_view line : TextLines(text)) lines.emplace_back(line);
  if (lines.empty() || lines[0] != kFirstLine) return false;
  bool options = false;
  size_t i = 1;
  // The head: up to the first blank line.
  for (; i < lines.size() && !lines[i].empty(); ++i) {
    std::string key, value;
    if (!SplitLine(lines[i], key, value)) return false;
    if (key == "started") report.started = value;
    if (key == "job") report.job = value;
    if (key == "options") {
      options = true;
      report.optionWords = SplitArguments(Utf8ToWide(value));
    }
  }
  if (!options || report.job.empty()) return false;
  // The blocks; a damaged one is left out whole.
  while (i < lines.size()) {
    if (lines[i].empty()) {
      ++i;
      continue;
    }
    CReadRunRecord record;
    record.position = BlockPosition(lines[i]);
    bool sound = record.position >= 0;
    for (++i; i < lines.size() && !lines[i].empty(); ++i) {
      std::string key, value;
      sound = sound && SplitLine(lines[i], key, value) && ReadRecordLine(key, value, record);
    }
    if (sound && !record.outcome.empty()) report.records.push_back(record);
  }
  return true;
}

std::vector<CReadRunReport> ReadRunReports(const std::wstring& folder) {
  std::vector<CReadRunReport> reports;
  if (folder.empty()) return reports;
  std::vector<std::wstring> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(FsPath(folder), error), end; !error && entry != end;
       entry.increment(error)) {
    const std::wstring name = NameOf(entry->path());
    if (name.compare(0, 4, L"run-") == 0 && name.size() > 8 && name.compare(name.size() - 4, 4, L".txt") == 0)
      names.push_back(name);
  }
  // Runs of one second sort by their names: "run-..-091203" before "run-..-091203_2".
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return a.substr(0, a.size() - 4) < b.substr(0, b.size() - 4);
  });
  for (const std::wstring& name : names) {
    std::string text;
    CReadRunReport report;
    if (!ReadTextFile(folder + name, text, kMostReportBytes) || !ParseRunReport(text, report)) {
      DebugLog(L"ReadRunReports-not a report-%s", name);
      continue;
    }
    reports.push_back(report);
  }
  // The times are of one fixed form, so their text sorts as they do.
  std::stable_sort(reports.begin(), reports.end(),
                   [](const CReadRunReport& a, const CReadRunReport& b) { return a.started < b.started; });
  return reports;
}

std::vector<std::wstring> DecidingOptionWords(const std::vector<std::wstring>& words) {
  std::vector<std::wstring> deciding;
  for (size_t i = 0; i < words.size(); ++i) {
    if (words[i] == L"--keep-dates" || words[i] == L"--join-anyway") continue;
    deciding.push_back(words[i]);
    // A word's value (a folder named like an option) is never taken for an option.
    const bool takesValue = words[i] == L"--job" || words[i] == L"--codec" || words[i] == L"--bitrate" ||
                            words[i] == L"--qp" || words[i] == L"--tracks" || words[i] == L"--abitrate" ||
                            words[i] == L"--range" || words[i] == L"--output-dir";
    if (takesValue && i + 1 < words.size()) deciding.push_back(words[++i]);
  }
  return deciding;
}

std::map<std::wstring, CDoneBefore> FindDoneInputs(const JobSettings& settings,
                                                   const std::vector<CReadRunReport>& reports) {
  std::map<std::wstring, CDoneBefore> done;
  if (!IsPerFileResumable(settings.jobKind)) return done;
  const std::vector<std::wstring> words = DecidingOptionWords(SettingsOptionWords(settings));
  for (const std::wstring& file : settings.files) {
    if (file.empty() || done.count(file) > 0) continue;
    // The latest run first: what it did with the file is what the file's output now is.
    for (auto report = reports.rbegin(); report != reports.rend(); ++report) {
      if (DecidingOptionWords(report->optionWords) != words) continue;
      const CReadRunRecord* made = nullptr;
      for (const CReadRunRecord& record : report->records) {
        if (record.position > 0 && record.input == file && record.check == "whole" &&
            (record.outcome == "done" || record.outcome == "resumed"))
          made = &record;
      }
      if (made == nullptr || !StillAsRecorded(*made)) continue;
      done[file] = CDoneBefore{made->output};
      break;
    }
  }
  return done;
}

std::map<std::wstring, CDoneBefore> FindDoneInputs(const JobSettings& settings, const std::wstring& folder) {
  if (!IsPerFileResumable(settings.jobKind)) return {};
  return FindDoneInputs(settings, ReadRunReports(folder));
}

int FilesNotDone(const JobSettings& settings, const std::map<std::wstring, CDoneBefore>& done) {
  int count = 0;
  for (const std::wstring& file : settings.files)
    if (done.count(file) == 0) ++count;
  return count;
}
