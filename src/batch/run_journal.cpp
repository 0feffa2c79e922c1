#include "batch/run_journal.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "base/file_identity.h"
#include "base/file_util.h"
#include "base/process_stamp.h"
#include "base/text.h"
#include "base/trace.h"
#include "base/user_data_folder.h"

namespace {

const char kFirstLine[] = "kestrune journal 1";
// A journal is a few lines; anything much longer is no journal of ours.
constexpr size_t kMostJournalBytes = 1 << 20;
// Names tried for an unfinished output before it is left as it is, and for a journal.
constexpr int kMostPartialNames = 99;
constexpr int kMostJournalNames = 1000;

// The runs of this process: one worker runs one at a time, but several workers may.
std::atomic<unsigned> journalsMade{0};

std::string EscapePath(const std::wstring& path) {
  std::string out;
  for (char c : WideToUtf8(path)) {
    if (c == '%')
      out += "%25";
    else if (c == '\r')
      out += "%0D";
    else if (c == '\n')
      out += "%0A";
    else
      out += c;
  }
  return out;
}

std::wstring UnescapePath(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && text.compare(i, 3, "%25") == 0) {
      out += '%';
      i += 2;
    } else if (text[i] == '%' && text.compare(i, 3, "%0D") == 0) {
      out += '\r';
      i += 2;
    } else if (text[i] == '%' && text.compare(i, 3, "%0A") == 0) {
      out += '\n';
      i += 2;
    } else {
      out += text[i];
    }
  }
  return Utf8ToWide(out);
}

// What a journal file holds; false when it is not one (then nothing of it is trusted).
struct CJournalRecord {
  uint32_t pid = 0;
  std::wstring stamp;
  std::vector<std::pair<std::wstring, std::wstring>> outputs;  // path and identity ("" unknown)
};

bool ReadJournal(const std::string& text, CJournalRecord& record) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kFirstLine) return false;
  if (!std::getline(in, line) || line.compare(0, 8, "process ") != 0) return false;
  std::istringstream process(line.substr(8));
  unsigned long pid = 0;
  std::string stamp;
  if (!(process >> pid >> stamp) || pid == 0) return false;
  record.pid = static_cast<uint32_t>(pid);
  record.stamp = Utf8ToWide(stamp);
  while (std::getline(in, line)) {
    if (line.compare(0, 7, "output ") != 0) return false;
    const size_t blank = line.find(' ', 7);
    if (blank == std::string::npos || blank == 7) return false;
    const std::string identity = line.substr(7, blank - 7);
    record.outputs.emplace_back(UnescapePath(line.substr(blank + 1)),
                                identity == "-" ? std::wstring() : Utf8ToWide(identity));
  }
  return true;
}

// Renames output to the first free of output.partial, output.2.partial, ...; empty when none
// could be had.
std::wstring RenameUnfinished(const std::wstring& output) {
  for (int n = 1; n <= kMostPartialNames; ++n) {
    const std::wstring name = output + (n == 1 ? std::wstring() : L"." + std::to_wstring(n)) + L".partial";
    const NewFileResult moved = MoveToNewName(output, name);
    if (moved == NEW_FILE_MADE) return name;
    if (moved == NEW_FILE_FAILED) return std::wstring();
  }
  return std::wstring();
}

}  // namespace

CRunJournal::CRunJournal() {
  const std::wstring folder = UserDataFolder(L"journal");
  if (folder.empty()) return;
  // A name of its own: a journal left by a process of this id before a reboot may be there.
  const std::wstring stem = folder + L"run-" + std::to_wstring(CurrentProcessId()) + L"-";
  for (int tries = 0; tries < kMostJournalNames && path_.empty(); ++tries) {
    const std::wstring name = stem + std::to_wstring(journalsMade++) + L".txt";
    if (CreateNewFile(name) == NEW_FILE_MADE) path_ = name;
  }
  stamp_ = ProcessStamp(CurrentProcessId());
  std::lock_guard<std::mutex> guard(lock_);
  Write();
}

CRunJournal::~CRunJournal() {
  if (!path_.empty()) RemoveFile(path_);
}

void CRunJournal::Add(const std::wstring& output, const std::wstring& identity) {
  std::lock_guard<std::mutex> guard(lock_);
  outputs_.emplace_back(output, identity);
  Write();
}

void CRunJournal::Remove(const std::wstring& output) {
  std::lock_guard<std::mutex> guard(lock_);
  auto found =
      std::find_if(outputs_.begin(), outputs_.end(), [&](const auto& one) { return one.first == output; });
  if (found == outputs_.end()) return;
  outputs_.erase(found);
  Write();
}

// Under lock_. A journal that cannot be written is traced; the run goes on without it.
void CRunJournal::Write() {
  if (path_.empty()) return;
  std::string text = std::string(kFirstLine) + "\nprocess " + std::to_string(CurrentProcessId()) + " " +
                     WideToUtf8(stamp_) + "\n";
  for (const auto& output : outputs_) {
    text += "output " + (output.second.empty() ? std::string("-") : WideToUtf8(output.second)) + " " +
            EscapePath(output.first) + "\n";
  }
  if (!WriteWholeFile(path_, text)) DebugLog(L"CRunJournal-cannot write-%s", path_);
}

std::vector<CUnfinishedOutput> MarkUnfinishedOutputs() {
  std::vector<CUnfinishedOutput> marked;
  const std::wstring folder = UserDataFolder(L"journal");
  if (folder.empty()) return marked;
  std::error_code error;
  std::vector<std::wstring> journals;
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder), error)) {
    const std::wstring name = Utf8ToWide(entry.path().filename().string());
    if (name.compare(0, 4, L"run-") == 0 && name.size() > 8 && name.compare(name.size() - 4, 4, L".txt") == 0)
      journals.push_back(folder + name);
  }
  for (const std::wstring& journal : journals) {
    std::string text;
    CJournalRecord record;
    if (!ReadTextFile(journal, text, kMostJournalBytes) || !ReadJournal(text, record)) continue;
    const std::wstring stamp = ProcessStamp(record.pid);
    if (!stamp.empty() && stamp == record.stamp) continue;  // the run is alive
    for (const auto& output : record.outputs) {
      if (output.second.empty() || FileIdentity(output.first) != output.second) continue;
      const std::wstring renamed = RenameUnfinished(output.first);
      DebugLog(L"MarkUnfinishedOutputs-%s-%s", output.first, renamed);
      if (!renamed.empty()) marked.push_back(CUnfinishedOutput{output.first, renamed});
    }
    RemoveFile(journal);
    RemoveFile(journal + L".new");
  }
  return marked;
}
