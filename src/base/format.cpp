#include "base/format.h"

#include <cwchar>

#include "base/text.h"
#include "base/trace.h"

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The kind a conversion character takes; false for one this program does not use.
bool ConversionKind(wchar_t conversion, FormatArgKind& kind) {
  if (std::wcschr(L"diuoxXc", conversion) != nullptr) {
    kind = FORMAT_ARG_INTEGER;
  } else if (std::wcschr(L"fFeEgGaA", conversion) != nullptr) {
    kind = FORMAT_ARG_FLOAT;
  } else if (conversion == L's') {
    kind = FORMAT_ARG_TEXT;
  } else {
    return false;
  }
  return conversion != L'\0';
}

}  // namespace

const char* FormatMismatch(const wchar_t* format, const FormatArgKind* kinds, size_t count) {
  if (format == nullptr) return "no format text";
  size_t used = 0;
  // Takes the next argument for a conversion of the given kind.
  auto take = [&](FormatArgKind kind) -> const char* {
    if (used == count) return "too few arguments";
    return kinds[used++] == kind ? nullptr : "an argument of the wrong kind";
  };
  for (const wchar_t* p = format; *p != L'\0'; ++p) {
    if (*p != L'%') continue;
    ++p;
    if (*p == L'%') continue;
    const wchar_t* digits = p;
    while (IsDigit(*p)) ++p;
    if (*p == L'$' && p != digits) return "a numbered argument, which this program does not use";
    p = digits;
    while (*p != L'\0' && std::wcschr(L"-+ #0", *p) != nullptr) ++p;
    if (*p == L'*') {
      if (const char* error = take(FORMAT_ARG_INTEGER)) return error;
      ++p;
    }
    while (IsDigit(*p)) ++p;
    if (*p == L'.') {
      ++p;
      if (*p == L'*') {
        if (const char* error = take(FORMAT_ARG_INTEGER)) return error;
        ++p;
      }
      while (IsDigit(*p)) ++p;
    }
    while (*p != L'\0' && std::wcschr(L"hlLjzt", *p) != nullptr) ++p;
    if (*p == L'\0') return "a conversion cut off by the end of the text";
    FormatArgKind kind = FORMAT_ARG_OTHER;
    if (!ConversionKind(*p, kind)) return "a conversion this program does not use";
    if (const char* error = take(kind)) return error;
  }
  return used == count ? nullptr : "too many arguments";
}

void ReportFormatError(const wchar_t* format, const char* reason) {
  std::wstring line = L"Sprintf - format error, ";
  line += Utf8ToWide(reason != nullptr ? reason : "");
  line += L": [";
  line += format != nullptr ? format : L"";
  line += L"]\n";
  EmitTrace(line);
}
