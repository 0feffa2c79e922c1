#pragma once
// Shared by the two programs of bench/drop_vs_list_view.sh: their clock and the rows they list.
#include <windows.h>

#include <string>

inline double BenchMilliseconds() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER now{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The rows both programs put in: Korean, blanks and the characters a command interpreter would
// take up, of growing length, each one different.
inline std::wstring BenchRowPath(int i) {
  std::wstring name = L"C:\\영상 모음\\여행 & 50% ^!$`'" + std::wstring(static_cast<size_t>(i % 40), L'가');
  return name + L" " + std::to_wstring(i) + L".mp4";
}
