#pragma once
// A fresh folder for one test, removed with everything in it when the test ends.
#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, with its trailing separator.
  const std::wstring& Path() const { return path_; }
  // Path() + name.
  std::wstring File(const std::wstring& name) const { return path_ + name; }
  // Creates (or truncates) a file holding content, at any path length; returns its full path.
  std::wstring Write(const std::wstring& name, const std::string& content = "x") const;
  // Creates the folder name (its parent must exist); returns its full path with a trailing
  // separator, empty when it could not be made.
  std::wstring Folder(const std::wstring& name) const;
  // Folders nested in this one until the path is at least length characters long, past what
  // Windows takes without the \\?\ form; the innermost, with a trailing separator.
  std::wstring DeepFolder(size_t length) const;
  // name as a symbolic link to the folder target; false where none can be made (a Windows
  // program under Wine cannot make a working one).
  bool LinkFolder(const std::wstring& name, const std::wstring& target) const;

 private:
  std::wstring path_;
};

// While it lives, the file system's answer to "does this folder ignore case?" is replaced by
// ignores, as on a vfat stick or a CIFS share that the test machine cannot mount.
class CFolderCaseOverride {
 public:
  explicit CFolderCaseOverride(bool ignores);
  ~CFolderCaseOverride();
  CFolderCaseOverride(const CFolderCaseOverride&) = delete;
  CFolderCaseOverride& operator=(const CFolderCaseOverride&) = delete;
};
