#include "base/duration_text.h"

#include "base/format.h"

namespace {
// The milliseconds as decimals, trailing zeros dropped: 450 gives ".45", 0 gives "".
std::wstring Decimals(int64_t milliseconds) {
  if (milliseconds == 0) return std::wstring();
  std::wstring digits = Sprintf(L".%03d", static_cast<int>(milliseconds));
  while (digits.back() == L'0') digits.pop_back();
  return digits;
}
}  // namespace

std::wstring SecondsText(int64_t milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  return Sprintf(L"%lld", static_cast<long long>(milliseconds / 1000)) + Decimals(milliseconds % 1000);
}

std::wstring ClockText(int64_t milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  const int64_t seconds = milliseconds / 1000;
  std::wstring text = Sprintf(L"%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                              static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  const int64_t rest = milliseconds % 1000;
  return rest == 0 ? text : text + Sprintf(L".%03d", static_cast<int>(rest));
}
