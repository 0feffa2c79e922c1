#pragma once
// What the launch and interpreter tests share: the witness program's records, a scoped
// environment variable and copies of the witness under other names.
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

// One start of the witness program, as it recorded it.
struct WitnessRecord {
  unsigned long pid = 0;
  std::wstring self;
  std::wstring cwd;
  std::wstring show;
  std::wstring input;  // what its standard input was: "null", "file", "pipe", "terminal", ...
  std::wstring peek;   // with "--peek=N": what it read from N, "none" when it had no file there
  std::vector<std::wstring> args;
};

// Sets (or with unset, removes) an environment variable for the current scope; the previous
// state comes back at the end. Children started meanwhile inherit it.
class CScopedEnv {
 public:
  CScopedEnv(const std::string& name, const std::wstring& value, bool unset = false);
  ~CScopedEnv();
  CScopedEnv(const CScopedEnv&) = delete;
  CScopedEnv& operator=(const CScopedEnv&) = delete;

 private:
  std::string name_;
  bool hadValue_ = false;
  std::wstring previous_;
};

// Points the process's standard input at a file while it lives.
class CInputFrom {
 public:
  explicit CInputFrom(const std::wstring& file);
  ~CInputFrom();
  CInputFrom(const CInputFrom&) = delete;
  CInputFrom& operator=(const CInputFrom&) = delete;

 private:
  void* saved_ = nullptr;  // the standard input handle on Windows
  int savedFd_ = -1;       // a copy of descriptor 0 on POSIX
};

// The null device as standard input: a "pause" then ends at once, as it does for a run without
// anyone at the keyboard.
class CNullInput : public CInputFrom {
 public:
  CNullInput();
};

// The witness's file name: exec_witness, with ".exe" on Windows.
extern const wchar_t* const kWitnessName;

// The witness program built beside the tests.
std::wstring WitnessProgram();

// Copies the witness into folder under name; returns the full path ("" on failure).
std::wstring CopyWitness(const std::wstring& folder, const std::wstring& name);

// Reads the records the witness appended to file.
std::vector<WitnessRecord> ReadWitness(const std::wstring& file);

// Writes content into a new file (or over an old one); returns the path.
std::wstring WriteFile(const std::wstring& path, const std::string& content);

// The folder as a program reports its current directory: without a trailing separator.
std::wstring WithoutTrailingSeparator(const std::wstring& folder);
