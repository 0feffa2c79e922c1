#pragma once
// Writing into the program folder without ever overwriting a file that is not the installer's
// own: every file is written under a fresh temporary name and takes its real name only when
// complete, and only where that name is free (or names a file an earlier install wrote).
#include <cstdio>
#include <string>
#include <vector>

// Creates a file of a fresh name in folder (trailing separator) for writing; its path into
// path. nullptr when none can be created.
std::FILE* CreateTempFileIn(const std::wstring& folder, std::wstring& path);

// Gives the file temp the name target: where target exists only when replace is set.
bool MoveIntoPlace(const std::wstring& temp, const std::wstring& target, bool replace);

// Writes every byte of the file source to out; false when a read or a write fails.
bool AppendFileTo(const std::wstring& source, std::FILE* out);

// Closes a file written through CreateTempFileIn; false when its last bytes did not reach it.
bool CloseWrittenFile(std::FILE* file);

// What one install changed in the folder, so that a failed install can leave the folder as it
// was: every file it gave a name is noted, and a file of an earlier install that it replaces is
// first set aside under a fresh name, to come back on Undo. Ending without Commit undoes.
class CFolderChanges {
 public:
  explicit CFolderChanges(const std::wstring& folder) : folder_(folder) {}
  ~CFolderChanges() { Undo(); }
  CFolderChanges(const CFolderChanges&) = delete;
  CFolderChanges& operator=(const CFolderChanges&) = delete;

  // Gives the complete file temp the name `name` in the folder; where that name is taken, only
  // when replace is set. False (temp removed, the folder as it was) when it cannot.
  bool Place(const std::wstring& temp, const std::wstring& name, bool replace);
  // The names given so far, in order.
  const std::vector<std::wstring>& Placed() const { return placed_; }
  // True when this install has already given name to a file (compared as Windows compares).
  bool HasPlaced(const std::wstring& name) const;
  // Removes every file placed and gives each file set aside its name back.
  void Undo();
  // The changes stand: the files set aside are removed.
  void Commit();

 private:
  struct CSetAside {
    std::wstring name;
    std::wstring aside;
  };
  std::wstring folder_;
  std::vector<std::wstring> placed_;
  std::vector<CSetAside> setAside_;
};
