#pragma once
// The texts the main window shows around a run, in its two languages: the caption of the
// Start button while a run goes on, the questions before a run without GPU and before a stop,
// the status line during and after a run, and the message at its end.
#include <cstdint>
#include <string>

#include "batch/batch_host.h"

// The Start button's caption while a run goes on: "중지" / "Stop".
std::wstring StopCaption(int32_t uiLanguage);

// Asked before a run whose NVIDIA path the check found unusable.
std::wstring GpuUnavailableQuestion(int32_t uiLanguage);
// Asked before a run is stopped.
std::wstring StopQuestion(int32_t uiLanguage);

// "[2/5] C:\v\clip.mp4": the file a run has reached.
std::wstring RunStatusText(int position, int count, const std::wstring& path);
// "완료 3, 실패 1, 건너뜀 1" / "done 3, failed 1, skipped 1", then the outputs shorter than
// expected when there are any (", 짧음 1" / ", short 1"), how a join went and whether the run
// was stopped.
std::wstring RunReportText(const CBatchReport& report, int32_t uiLanguage);
// A time as a clock: "0:42", and from an hour on "1:02:03".
std::wstring RunClockText(int64_t seconds);
// The time a run has taken, as the status line shows it after its text: "(0:42)", and from an
// hour on "(1:02:03)".
std::wstring ElapsedText(int64_t seconds);
// The figures of a run in progress after the file it reached: the running command's percent,
// ffmpeg's speed and the time left for the whole run, each where it is known:
// " — 42%, 1.9x, 0:31 left" / " — 42%, 1.9x, 남은 시간 0:31"; empty when none is.
std::wstring RunProgressText(int percent, double speed, double secondsLeft, int32_t uiLanguage);
// text and the elapsed time after it: "[2/5] C:\v\clip.mp4 (0:42)"; the time alone for an
// empty text.
std::wstring WithElapsedTime(const std::wstring& text, int64_t seconds);

// The message at the end of a run in which a file failed, came out short or was skipped for a
// reason of its own (not the user's stop): each such file (and the join) with its outcome and
// why, at most maxListed of them and how many more; empty when there is none.
std::wstring RunEndText(const CBatchReport& report, int32_t uiLanguage, size_t maxListed = 10);
