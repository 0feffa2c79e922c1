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
  // Creates (or truncates) a file holding content; returns its full path.
  std::wstring Write(const std::wstring& name, const std::string& content = "x") const;

 private:
  std::wstring path_;
};
