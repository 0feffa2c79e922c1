#pragma once
// A folder of the program's own under the temporary folder, for files that live only as long
// as one piece of work; it is removed, with everything in it, when the object goes.
#include <filesystem>
#include <string>

class CScratchFolder {
 public:
  // what names the folder's purpose in its name ("gpu-check").
  explicit CScratchFolder(const char* what);
  ~CScratchFolder();
  CScratchFolder(const CScratchFolder&) = delete;
  CScratchFolder& operator=(const CScratchFolder&) = delete;

  bool Made() const { return !folder_.empty(); }
  // The path of name inside the folder.
  std::wstring File(const std::wstring& name) const;

 private:
  std::filesystem::path folder_;
};
