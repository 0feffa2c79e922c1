#include <windows.h>

#include "base/text.h"

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
