#pragma once
// The texts the main window shows around a run, in its two languages: the caption of the
// Start button while a run goes on, the questions before a run without GPU and before a stop,
// and the status line during and after a run.
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
// The time a run has taken, as the status line shows it after its text: "(0:42)", and from an
// hour on "(1:02:03)".
std::wstring ElapsedText(int64_t seconds);
// text and the elapsed time after it: "[2/5] C:\v\clip.mp4 (0:42)"; the time alone for an
// empty text.
std::wstring WithElapsedTime(const std::wstring& text, int64_t seconds);

// An output that is kept for the user to check: shorter than expected, or one that cannot be
// trusted (OutputVerdict). The window names each at the end of the run, and why.
struct CKeptOutput {
  std::wstring path;
  OutputVerdict verdict = OUTPUT_SHORT;
  int64_t actualMs = 0;
  int64_t expectedMs = 0;
};

// An output kept for the user and why: shorter than expected (both lengths in seconds, to the
// millisecond), not readable by MediaInfo, without a stream, or 0 ms long.
std::wstring KeptOutputText(const CKeptOutput& output, int32_t uiLanguage);
