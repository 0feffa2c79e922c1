#include "base/scratch_folder.h"

#include <atomic>
#include <chrono>
#include <system_error>

#include "base/text.h"

namespace fs = std::filesystem;

CScratchFolder::CScratchFolder(const char* what) {
  static std::atomic<int> serial{0};
  std::error_code code;
  fs::path base = fs::temp_directory_path(code);
  if (code) return;
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path folder = base / (std::string("kestrune-") + what + "-" + std::to_string(stamp) + "-" +
                            std::to_string(serial++));
  if (fs::create_directory(folder, code) && !code) folder_ = folder;
}

CScratchFolder::~CScratchFolder() {
  std::error_code ignored;
  if (!folder_.empty()) fs::remove_all(folder_, ignored);
}

std::wstring CScratchFolder::File(const std::wstring& name) const {
#ifdef _WIN32
  return (folder_ / name).wstring();
#else
  return Utf8ToWide(folder_.string()) + L"/" + name;
#endif
}
