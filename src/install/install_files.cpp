#include "install/install_files.h"

#include <fcntl.h>

#include <atomic>
#include <cerrno>
#include <vector>

#include "base/file_util.h"
#include "base/text.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

std::atomic<unsigned> tempCounter{0};

// Opens path for writing only when no file of that name exists (atomically, so two installs
// never share a file).
std::FILE* OpenNewFileForWriting(const std::wstring& path) {
#ifdef _WIN32
  int fd = _wopen(LongPathForm(path).c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
  return fd < 0 ? nullptr : _fdopen(fd, "wb");
#else
  int fd = open(PathToNative(path).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0644);
  return fd < 0 ? nullptr : fdopen(fd, "wb");
#endif
}

unsigned ProcessNumber() {
#ifdef _WIN32
  return static_cast<unsigned>(_getpid());
#else
  return static_cast<unsigned>(getpid());
#endif
}

}  // namespace

std::FILE* CreateTempFileIn(const std::wstring& folder, std::wstring& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = folder + L".kestrune-" + std::to_wstring(ProcessNumber()) + L"-" + std::to_wstring(++tempCounter) +
           L".tmp";
    std::FILE* file = OpenNewFileForWriting(path);
    if (file != nullptr) return file;
    if (errno != EEXIST) break;
  }
  path.clear();
  return nullptr;
}

bool MoveIntoPlace(const std::wstring& temp, const std::wstring& target, bool replace) {
#ifdef _WIN32
  // Without MOVEFILE_REPLACE_EXISTING the move fails on an existing name, in one step.
  return MoveFileExW(LongPathForm(temp).c_str(), LongPathForm(target).c_str(),
                     replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
#else
  std::string from = PathToNative(temp), to = PathToNative(target);
  if (replace) return rename(from.c_str(), to.c_str()) == 0;
  // A hard link fails on an existing name, so nothing of the user's is ever replaced.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
#endif
}

bool AppendFileTo(const std::wstring& source, std::FILE* out) {
  std::FILE* in = OpenBinaryFile(source);
  if (in == nullptr) return false;
  std::vector<char> buffer(1 << 16);
  bool ok = true;
  size_t got = 0;
  while (ok && (got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
    ok = std::fwrite(buffer.data(), 1, got, out) == got;
  }
  if (std::ferror(in) != 0) ok = false;
  std::fclose(in);
  return ok;
}

bool CloseWrittenFile(std::FILE* file) {
  bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
  return std::fclose(file) == 0 && ok;
}

bool CFolderChanges::HasPlaced(const std::wstring& name) const {
  for (const std::wstring& placed : placed_) {
    if (ToLowerText(placed) == ToLowerText(name)) return true;
  }
  return false;
}

bool CFolderChanges::Place(const std::wstring& temp, const std::wstring& name, bool replace) {
  const std::wstring target = folder_ + name;
  CSetAside earlier{name, std::wstring()};
  if (replace && FileExists(target)) {
    // A fresh name of its own, which the earlier file then takes over in one step.
    std::FILE* claim = CreateTempFileIn(folder_, earlier.aside);
    if (claim == nullptr) {
      RemoveFile(temp);
      return false;
    }
    std::fclose(claim);
    if (!MoveIntoPlace(target, earlier.aside, true)) {
      RemoveFile(earlier.aside);
      RemoveFile(temp);
      return false;
    }
  }
  // The name is free now (or was to stay so): nothing that appeared in between is replaced.
  if (!MoveIntoPlace(temp, target, false)) {
    RemoveFile(temp);
    if (!earlier.aside.empty()) MoveIntoPlace(earlier.aside, target, false);
    return false;
  }
  if (!earlier.aside.empty()) setAside_.push_back(earlier);
  placed_.push_back(name);
  return true;
}

void CFolderChanges::Undo() {
  for (auto name = placed_.rbegin(); name != placed_.rend(); ++name) RemoveFile(folder_ + *name);
  // Latest first, so a name set aside twice ends with its oldest file.
  for (auto earlier = setAside_.rbegin(); earlier != setAside_.rend(); ++earlier) {
    MoveIntoPlace(earlier->aside, folder_ + earlier->name, true);
  }
  placed_.clear();
  setAside_.clear();
}

void CFolderChanges::Commit() {
  for (const CSetAside& earlier : setAside_) RemoveFile(earlier.aside);
  placed_.clear();
  setAside_.clear();
}
