#pragma once
// Every message, trace and command line of the program is a fixed printf-style text filled
// through {fmt}'s type-safe printf, so "%s" takes a wide string on every platform and a wrong
// argument type fails to compile.
#include <fmt/printf.h>
#include <fmt/xchar.h>

#include <string>

template <typename... Args>
std::wstring Sprintf(const wchar_t* format, const Args&... args) {
  try {
    return fmt::sprintf(format, args...);
  } catch (const std::exception&) {
    // Only fixed texts are used as formats; a broken one shows as itself rather than
    // letting an exception cross into the caller.
    return format;
  }
}
