#include "exec_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32
const wchar_t* const kWitnessName = L"exec_witness.exe";

const wchar_t* const kNullDevice = L"NUL";

CInputFrom::CInputFrom(const std::wstring& file) : saved_(GetStdHandle(STD_INPUT_HANDLE)) {
  SetStdHandle(STD_INPUT_HANDLE, CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
}

CInputFrom::~CInputFrom() {
  HANDLE opened = GetStdHandle(STD_INPUT_HANDLE);
  SetStdHandle(STD_INPUT_HANDLE, static_cast<HANDLE>(saved_));
  if (opened != nullptr && opened != INVALID_HANDLE_VALUE) CloseHandle(opened);
}
#else
const wchar_t* const kWitnessName = L"exec_witness";
const wchar_t* const kNullDevice = L"/dev/null";

CInputFrom::CInputFrom(const std::wstring& file) : savedFd_(dup(0)) {
  int opened = open(WideToUtf8(file).c_str(), O_RDONLY);
  if (opened < 0) return;
  dup2(opened, 0);
  close(opened);
}

CInputFrom::~CInputFrom() {
  if (savedFd_ < 0) return;
  dup2(savedFd_, 0);
  close(savedFd_);
}
#endif

CNullInput::CNullInput() : CInputFrom(kNullDevice) {}

CScopedEnv::CScopedEnv(const std::string& name, const std::wstring& value, bool unset) : name_(name) {
#ifdef _WIN32
  std::wstring wideName = Utf8ToWide(name);
  if (const wchar_t* old = _wgetenv(wideName.c_str())) {
    hadValue_ = true;
    previous_ = old;
  }
  // The C runtime's copy and the process environment children inherit change together.
  _wputenv_s(wideName.c_str(), unset ? L"" : value.c_str());
#else
  if (const char* old = std::getenv(name.c_str())) {
    hadValue_ = true;
    previous_ = Utf8ToWide(old);
  }
  if (unset)
    unsetenv(name.c_str());
  else
    setenv(name.c_str(), WideToUtf8(value).c_str(), 1);
#endif
}

CScopedEnv::~CScopedEnv() {
#ifdef _WIN32
  _wputenv_s(Utf8ToWide(name_).c_str(), hadValue_ ? previous_.c_str() : L"");
#else
  if (hadValue_)
    setenv(name_.c_str(), WideToUtf8(previous_).c_str(), 1);
  else
    unsetenv(name_.c_str());
#endif
}

std::wstring WriteFile(const std::wstring& path, const std::string& content) {
  std::ofstream(FsPath(path), std::ios::binary | std::ios::trunc) << content;
  return path;
}

std::wstring WitnessProgram() { return GetProgramDir() + kWitnessName; }

std::wstring CopyWitness(const std::wstring& folder, const std::wstring& name) {
  std::error_code code;
  fs::path target = FsPath(folder) / FsPath(name);
  fs::copy_file(FsPath(WitnessProgram()), target, fs::copy_options::overwrite_existing, code);
  if (code) return std::wstring();
  fs::permissions(target, fs::perms::owner_all, fs::perm_options::add, code);
  return folder +
         (folder.empty() || folder.back() == kPathSeparator ? L"" : std::wstring(1, kPathSeparator)) + name;
}

std::vector<WitnessRecord> ReadWitness(const std::wstring& file) {
  std::vector<WitnessRecord> records;
  std::ifstream in{FsPath(file)};
  std::string line;
  WitnessRecord current;
  auto value = [&line](size_t prefix) { return Utf8ToWide(line.substr(prefix)); };
  while (std::getline(in, line)) {
    if (line == "begin")
      current = WitnessRecord();
    else if (line.rfind("pid=", 0) == 0)
      current.pid = std::strtoul(line.c_str() + 4, nullptr, 10);
    else if (line.rfind("self=", 0) == 0)
      current.self = value(5);
    else if (line.rfind("cwd=", 0) == 0)
      current.cwd = value(4);
    else if (line.rfind("show=", 0) == 0)
      current.show = value(5);
    else if (line.rfind("input=", 0) == 0)
      current.input = value(6);
    else if (line.rfind("peek=", 0) == 0)
      current.peek = value(5);
    else if (line.rfind("arg=", 0) == 0)
      current.args.push_back(value(4));
    else if (line == "end")
      records.push_back(current);
    else if (!current.args.empty())  // an argument that holds a line break goes on here
      current.args.back() += L"\n" + value(0);
  }
  return records;
}

std::wstring WithoutTrailingSeparator(const std::wstring& folder) {
  std::wstring out = folder;
  while (out.size() > 1 && out.back() == kPathSeparator) out.pop_back();
  return out;
}
