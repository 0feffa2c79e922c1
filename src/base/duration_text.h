#pragma once
// Lengths of time as the user reads them in messages: the same figures in every language.
#include <cstdint>
#include <string>

// Seconds with as many decimals as the milliseconds need: 15000 gives "15", 800 gives "0.8",
// 29960 gives "29.96". A negative length counts as 0.
std::wstring SecondsText(int64_t milliseconds);

// A point in time as H:MM:SS, with the milliseconds after a point when there are any:
// 10000 gives "0:00:10", 3723450 gives "1:02:03.450". A negative time counts as 0.
std::wstring ClockText(int64_t milliseconds);
