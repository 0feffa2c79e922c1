#pragma once
// Every message, trace and command line of the program is a fixed printf-style text filled
// through {fmt}'s printf, so "%s" takes a wide string on every platform. {fmt} checks the
// arguments only while it formats, and leniently: it prints a number for "%s" and drops an
// argument too many. So Sprintf first checks the text's conversions against the arguments,
// their number and their kind, and a text that does not fit is traced and gives an empty
// string: never the raw text, whose "%s" must not reach a command line. A test fills every
// format text of the product with the arguments of its call sites.
#include <fmt/printf.h>
#include <fmt/xchar.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

// What a conversion can take.
enum FormatArgKind : int {
  FORMAT_ARG_INTEGER = 0,  // d i u o x X c, and "*" for a width or precision
  FORMAT_ARG_FLOAT = 1,    // f F e E g G a A
  FORMAT_ARG_TEXT = 2,     // s: a wide string
  FORMAT_ARG_OTHER = 3,    // anything else: fits no conversion
};

template <typename T>
constexpr FormatArgKind FormatArgKindOf() {
  using U = std::decay_t<T>;
  if constexpr (std::is_same_v<U, bool>) {
    return FORMAT_ARG_OTHER;
  } else if constexpr (std::is_integral_v<U> || std::is_enum_v<U>) {
    return FORMAT_ARG_INTEGER;
  } else if constexpr (std::is_floating_point_v<U>) {
    return FORMAT_ARG_FLOAT;
  } else if constexpr (std::is_convertible_v<const U&, std::wstring_view>) {
    return FORMAT_ARG_TEXT;
  } else {
    return FORMAT_ARG_OTHER;
  }
}

// Why format does not fit count arguments of these kinds (too few, too many, a kind its
// conversion cannot take, a conversion this program does not use); null when it fits.
const char* FormatMismatch(const wchar_t* format, const FormatArgKind* kinds, size_t count);

// The same for arguments of the types Args.
template <typename... Args>
const char* FormatMismatchFor(const wchar_t* format) {
  constexpr FormatArgKind kinds[] = {FormatArgKindOf<Args>()..., FORMAT_ARG_OTHER};  // never empty
  return FormatMismatch(format, kinds, sizeof...(Args));
}

// Traces a format text that could not be filled, and why. It writes the trace line itself, not
// through Sprintf, so a broken text cannot lead back here.
void ReportFormatError(const wchar_t* format, const char* reason);

template <typename... Args>
std::wstring Sprintf(const wchar_t* format, const Args&... args) {
  if (const char* mismatch = FormatMismatchFor<Args...>(format)) {
    ReportFormatError(format, mismatch);
    return std::wstring();
  }
  try {
    return fmt::sprintf(format, args...);
  } catch (const std::exception& error) {
    // No exception crosses into the caller.
    ReportFormatError(format, error.what());
    return std::wstring();
  }
}
