#include "base/scratch_folder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "base/file_util.h"
#include "base/private_folder.h"
#include "base/text.h"

namespace fs = std::filesystem;

namespace {
constexpr int kNameTries = 4;

std::wstring TemporaryFolder() {
  std::error_code code;
  fs::path base = fs::temp_directory_path(code);
  if (code) return std::wstring();
#ifdef _WIN32
  return base.wstring();
#else
  return Utf8ToWide(base.string());
#endif
}
}  // namespace

// The name is new for each object; should it exist all the same, another is tried, never the
// one that was there.
CScratchFolder::CScratchFolder(const char* what) {
  static std::atomic<int> serial{0};
  const std::wstring base = TemporaryFolder();
  if (base.empty()) return;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < kNameTries && folder_.empty(); ++attempt) {
    std::wstring name =
        L"kestrune-" + Utf8ToWide(what) + L"-" + std::to_wstring(stamp) + L"-" + std::to_wstring(serial++);
    folder_ = MakePrivateFolder(base, name, PRIVATE_FOLDER_NEW_ONLY);
  }
}

CScratchFolder::~CScratchFolder() {
  std::error_code ignored;
  if (!folder_.empty()) fs::remove_all(FsPath(folder_), ignored);
}
