#include "install/scoped_env.h"

#include <cstdlib>

#include "base/text.h"

ScopedEnv::~ScopedEnv() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) Put(it->name, it->value, it->present);
}

void ScopedEnv::Set(const std::wstring& name, const std::wstring& value) {
#ifdef _WIN32
  const wchar_t* old = _wgetenv(name.c_str());
  saved_.push_back({name, old != nullptr ? old : L"", old != nullptr});
#else
  const char* old = std::getenv(WideToUtf8(name).c_str());
  saved_.push_back({name, old != nullptr ? Utf8ToWide(old) : L"", old != nullptr});
#endif
  Put(name, value, !value.empty());
}

std::wstring ScopedEnv::Get(const std::wstring& name) {
#ifdef _WIN32
  const wchar_t* value = _wgetenv(name.c_str());
  return value != nullptr ? value : L"";
#else
  const char* value = std::getenv(WideToUtf8(name).c_str());
  return value != nullptr ? Utf8ToWide(value) : L"";
#endif
}

void ScopedEnv::Put(const std::wstring& name, const std::wstring& value, bool present) {
#ifdef _WIN32
  // "NAME=" removes the variable; the C runtime passes the change on to the process
  // environment, which child processes inherit.
  _wputenv((name + L"=" + (present ? value : L"")).c_str());
#else
  if (present) {
    setenv(WideToUtf8(name).c_str(), WideToUtf8(value).c_str(), 1);
  } else {
    unsetenv(WideToUtf8(name).c_str());
  }
#endif
}
