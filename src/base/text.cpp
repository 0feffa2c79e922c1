#include "base/text.h"

#include <cstdint>
#include <cwctype>
#include <type_traits>

#ifdef _WIN32
#include <windows.h>
#else
#include <locale.h>
#endif

namespace {
void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendWide(std::wstring& out, char32_t c) {
  if (sizeof(wchar_t) == 2 && c >= 0x10000) {
    c -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (c >> 10));
    out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
  } else {
    out += static_cast<wchar_t>(c);
  }
}
}  // namespace

std::string WideToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      char32_t low = static_cast<char32_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = 0xFFFD;
    AppendUtf8(out, c);
  }
  return out;
}

std::wstring Utf8ToWide(const std::string& text) {
  std::wstring out;
  Utf8ToWide(text, out);
  return out;
}

void Utf8ToWide(const std::string& text, std::wstring& out) {
  out.clear();
  out.reserve(text.size());
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      // A run of ASCII, the bulk of any report, goes across as it is, into the room reserved.
      size_t end = i + 1;
      while (end < n && static_cast<unsigned char>(text[end]) < 0x80) ++end;
      size_t at = out.size();
      out.resize(at + (end - i));
      for (; i < end; ++i) out[at++] = static_cast<wchar_t>(text[i]);
      continue;
    }
    char32_t c;
    int extra;
    if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F;
      extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F;
      extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07;
      extra = 3;
    } else {
      AppendWide(out, 0xFFFD);  // stray continuation or invalid lead byte
      ++i;
      continue;
    }
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= n || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    if (!valid) {
      AppendWide(out, 0xFFFD);
      ++i;
      continue;
    }
    static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = 0xFFFD;
    AppendWide(out, c);
    i += extra + 1;
  }
}

int WideToNarrow(const wchar_t* text, char* buffer, int bufferSize) {
  if (text == nullptr || buffer == nullptr) return 0;
  std::wstring wide(text);
  if (wide.empty()) {
    if (bufferSize > 0) buffer[0] = '\0';
    return 0;
  }
  if (bufferSize < static_cast<int>(wide.size()) + 1) return 0;
  std::string narrow = WideToAnsi(wide);
  if (narrow.empty() || static_cast<int>(narrow.size()) >= bufferSize) return 0;
  narrow.copy(buffer, narrow.size());
  buffer[narrow.size()] = '\0';
  return static_cast<int>(narrow.size());
}

std::wstring ToLowerText(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}

std::wstring ToUpperText(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return text;
}

#ifdef _WIN32
std::wstring FoldCaseText(std::wstring text) {
  if (text.empty()) return text;
  std::wstring folded(text.size(), L'\0');
  int length =
      LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), static_cast<int>(text.size()),
                    folded.data(), static_cast<int>(folded.size()), nullptr, nullptr, 0);
  if (length != static_cast<int>(text.size())) return ToUpperText(text);
  return folded;
}
#else
// The C locale lowers only A-Z; a UTF-8 locale knows every letter. Made once, never freed.
std::wstring FoldCaseText(std::wstring text) {
  static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (unicode == static_cast<locale_t>(0)) return ToLowerText(ToUpperText(text));
  for (wchar_t& c : text) {
    c = static_cast<wchar_t>(towlower_l(towupper_l(static_cast<wint_t>(c), unicode), unicode));
  }
  return text;
}
#endif

bool IsBlankChar(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

std::wstring TrimText(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlankChar(text[begin])) ++begin;
  while (end > begin && IsBlankChar(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

#ifdef _WIN32
std::string WideToAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr,
                      nullptr);
  return out;
}

std::wstring AnsiToWide(const std::string& text) {
  std::wstring out;
  AnsiToWide(text, out);
  return out;
}

void AnsiToWide(const std::string& text, std::wstring& out) {
  out.clear();
  if (text.empty()) return;
  int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return;
  out.resize(static_cast<size_t>(size));
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
}
#else
// POSIX systems speak UTF-8 as their narrow code page.
std::string WideToAnsi(const std::wstring& text) { return WideToUtf8(text); }

std::wstring AnsiToWide(const std::string& text) { return Utf8ToWide(text); }

void AnsiToWide(const std::string& text, std::wstring& out) { Utf8ToWide(text, out); }
#endif

namespace {
template <typename String>
String EscapeWithPercent(const String& text, bool (*plain)(unsigned char c)) {
  static const char digits[] = "0123456789ABCDEF";
  String out;
  for (auto c : text) {
    const auto code = static_cast<uint32_t>(static_cast<std::make_unsigned_t<decltype(c)>>(c));
    if (code > 0xFF || (c != '%' && plain(static_cast<unsigned char>(code)))) {
      out += c;
    } else {
      out += '%';
      out += digits[code >> 4];
      out += digits[code & 15];
    }
  }
  return out;
}

int HexValue(uint32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  return -1;
}

template <typename String>
bool UnescapeWithPercent(const String& text, String& out) {
  out.clear();
  bool whole = true;
  for (size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(static_cast<uint32_t>(text[i + 1])) : -1;
    const int low = high >= 0 ? HexValue(static_cast<uint32_t>(text[i + 2])) : -1;
    if (low < 0) {
      whole = whole && text[i] != '%';
      out += text[i];
      continue;
    }
    out += static_cast<typename String::value_type>(high * 16 + low);
    i += 2;
  }
  return whole;
}

template <typename View>
std::vector<View> SplitLines(View text) {
  std::vector<View> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    View line = text.substr(0, end);
    text.remove_prefix(end == View::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

template <typename String>
bool ParseDecimal32(const String& text, uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t number = 0;
  for (auto c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  if (number > 0xFFFFFFFFull) return false;
  value = static_cast<uint32_t>(number);
  return true;
}
}  // namespace

std::string PercentEscape(const std::string& text, bool (*plain)(unsigned char c)) {
  return EscapeWithPercent(text, plain);
}
std::wstring PercentEscape(const std::wstring& text, bool (*plain)(unsigned char c)) {
  return EscapeWithPercent(text, plain);
}
bool PercentUnescape(const std::string& text, std::string& out) { return UnescapeWithPercent(text, out); }
bool PercentUnescape(const std::wstring& text, std::wstring& out) { return UnescapeWithPercent(text, out); }
bool IsLineChar(unsigned char c) { return c >= 0x20 && c != 0x7F && c != '%'; }
bool ParseUint32(const std::string& text, uint32_t& value) { return ParseDecimal32(text, value); }
bool ParseUint32(const std::wstring& text, uint32_t& value) { return ParseDecimal32(text, value); }
std::vector<std::string_view> TextLines(std::string_view text) { return SplitLines(text); }
std::vector<std::wstring_view> TextLines(std::wstring_view text) { return SplitLines(text); }
