#pragma once
// A folder of the program's own under the temporary folder, for files that live only as long
// as one piece of work; it is removed, with everything in it, when the object goes. Others may
// neither read what is put there nor put anything there themselves: the folder is made new by
// this object, private to the user (see MakePrivateFolder), or not at all. On Windows the
// temporary folder is the user's own already (%TEMP% under the profile).
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
  std::wstring File(const std::wstring& name) const { return folder_ + name; }

 private:
  std::wstring folder_;  // with its trailing separator; empty when none could be made
};
