#pragma once
// A run's journal: the outputs it has claimed whose commands have started and that it has not
// yet checked. A run that dies before it checks them (killed, a crash, a power cut) leaves its
// journal behind; the next run finds it and marks each of those outputs, which may end anywhere
// in the middle while looking whole, as unfinished. The command texts stay as they are.
//
// One file a run, "run-PID-N.txt" in the user's own folder UserDataFolder(L"journal"), UTF-8
// text of lines ending in a line feed:
//   kestrune journal 1
//   process PID STAMP         the run's process: its id and its ProcessStamp
//   output IDENTITY PATH      one such output: the identity of the file the run made under its
//                             name (FileIdentity; "-" when none is known, as for a command
//                             whose claim was let go), and its path, in which "%", CR and LF
//                             are written as %25, %0D and %0A
// It is written as the run starts, then anew, whole (WriteWholeFile), before each command
// starts and when an output has been checked or removed; it goes when the run ends.
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class CRunJournal {
 public:
  // Writes the journal of a run with no output yet. Without a folder of the user's own (none
  // can be had) it keeps nothing.
  CRunJournal();
  // The run is over: its journal goes.
  ~CRunJournal();
  CRunJournal(const CRunJournal&) = delete;
  CRunJournal& operator=(const CRunJournal&) = delete;

  // An output whose command is about to start, with the identity of the file made under its
  // name (empty when not known).
  void Add(const std::wstring& output, const std::wstring& identity);
  // The output has been checked, or removed, or left as not the run's.
  void Remove(const std::wstring& output);

 private:
  void Write();

  std::mutex lock_;
  std::wstring path_;
  std::wstring stamp_;  // this process's ProcessStamp
  std::vector<std::pair<std::wstring, std::wstring>> outputs_;  // path and identity
};

// An output of a run that died, as the next run found it.
struct CUnfinishedOutput {
  std::wstring output;     // where the run was writing it
  std::wstring renamedTo;  // output + ".partial", or the first free name after it
};

// Finds the journals of runs no longer alive (no process of the id, or one with another stamp:
// a live run's journal is never touched, nor is a journal this program cannot read) and renames
// each of their outputs that is still the very file the run made (the same identity) to
// "NAME.partial", or "NAME.2.partial" and on when that is taken: never over a file. The
// journals then go. What was renamed, for the front end to say.
std::vector<CUnfinishedOutput> MarkUnfinishedOutputs();
