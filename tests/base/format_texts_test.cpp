// Format texts: the check of a text against its arguments, what a text that does not fit gives,
// and every format text of the product filled with arguments of the types its call sites pass.
// A scan of the sources makes sure that table holds every text the product fills, so a new or
// changed text cannot go unchecked: whoever adds one adds its row.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/format.h"
#include "base/message.h"
#include "base/text.h"
#include "base/texts.h"
#include "base/trace.h"
#include "support/trace_capture.h"

namespace {

// Representative arguments of the types the call sites pass.
const std::wstring kText = L"C:\\v\\클립 100%s.mp4";
const wchar_t* const kChars = L"--job";
const int kInt = 3;
const int32_t kInt32 = 1920;
const int64_t kInt64 = 734003200;
const uint16_t kUint16 = 59;
const uint32_t kUint32 = 90;
const double kDouble = 700.25;
const unsigned long long kHash = 0x0123456789ABCDEFull;

// Fills text as the product does; empty when it fit, else the trace of the failure.
template <typename... Args>
std::string Fill(const wchar_t* text, const Args&... args) {
  TraceCapture trace;
  std::wstring filled = Sprintf(text, args...);
  for (const std::wstring& line : trace.Lines()) {
    if (line.find(L"format error") != std::wstring::npos) return WideToUtf8(line);
  }
  if (filled.empty() && *text != L'\0') return "an empty result";
  return std::string();
}

struct CFormatRow {
  const wchar_t* text;
  std::string (*fill)(const wchar_t* text);
};

// Every format text of the product (Sprintf, DebugLog, ShowMessage), once per kind of call.
const CFormatRow kProductFormats[] = {
    // src/cli
    {L"kestrune: %d %s: %d done, %d failed, %d skipped%s%s\n",
     [](const wchar_t* t) { return Fill(t, kInt, kChars, kInt, kInt, kInt, kText, kChars); }},
    {L"[%d/%d]", [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {L"kestrune: [%d/%d] skipped, no command for it (cannot probe '%s')\n",
     [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {L"[%d/%d] %s\n", [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {L"kestrune: %s failed, exit status %d: %s\n%s",
     [](const wchar_t* t) { return Fill(t, kText, kInt, kText, kText); }},
    {L"kestrune: %s stopped: %s\n", [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {L",\"position\":%d,\"fileCount\":%d", [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {L"%s%d", [](const wchar_t* t) { return Fill(t, kChars, kInt); }},
    {L"kestrune: '%s' is there already; its command is not run again\n",
     [](const wchar_t* t) { return Fill(t, kText); }},
    {L"option '--jobs' takes a whole number from 1 to %d, or auto, not '%s'",
     [](const wchar_t* t) { return Fill(t, kInt32, kText); }},
    {L"option '%s' does not apply to 'exec'", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"option '%s' takes a positive whole number (kb/s), not '%s'",
     [](const wchar_t* t) { return Fill(t, kChars, kText); }},
    {L"option '%s' takes %s, not '%s'", [](const wchar_t* t) { return Fill(t, kChars, kText, kText); }},
    {L"option '--qp' takes a whole number, not '%s'", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"option '--tracks' takes track numbers from 0 separated by commas (e.g. 0,2) or none, not '%s'",
     [](const wchar_t* t) { return Fill(t, kText); }},
    {L"option '--range' takes H:M:S-H:M:S (e.g. 0:1:0-0:2:30), not '%s'",
     [](const wchar_t* t) { return Fill(t, kText); }},
    {L"option '%s' needs '--range'", [](const wchar_t* t) { return Fill(t, kChars); }},
    {L"unknown command '%s' (probe, plan, run or exec); see 'kestrune --help'",
     [](const wchar_t* t) { return Fill(t, kText); }},
    {L"unknown option '%s'; see 'kestrune --help'", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"option '%s' does not apply to '%s'", [](const wchar_t* t) { return Fill(t, kText, kChars); }},
    {L"option '%s' needs a value", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"option '%s' takes no value", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"'%s' needs at least one FILE", [](const wchar_t* t) { return Fill(t, kChars); }},
    {L"no such file: '%s'", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"kestrune: cannot probe '%s'\n", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"\"%s\":%s", [](const wchar_t* t) { return Fill(t, kChars, kText); }},
    {L"%d", [](const wchar_t* t) { return Fill(t, kInt64); }},
    {L"%.3f", [](const wchar_t* t) { return Fill(t, kDouble); }},
    {L"\\u%04x", [](const wchar_t* t) { return Fill(t, kInt); }},
    // src/exec
    {L"AppCreate-0-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"AppCreate-2-%s\n%s", [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {L"AppCreate-3-%s\n%s\n%s", [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {L"AppCreate-4-파일이 없습니다.", [](const wchar_t* t) { return Fill(t); }},
    {L"AppCreate-5-%s \n%s \n \n", [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {L"AppCreate-6-CreateProcess, ret=%d, id=%d  <%s>",
     [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {L"StartPatiently-retry-%u", [](const wchar_t* t) { return Fill(t, kUint32); }},
    {L"\"%s%s\" %s", [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {L"DoProcess-2-exit=%d", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"DoProcess-3-skip join, %d of %d files remuxed", [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {L"DoProcess-3-합치기-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"\n\nDoProcess-쓰레드 시작", [](const wchar_t* t) { return Fill(t); }},
    {L"\nDoProcess-1-(%d/%d)-%s", [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {L"DoProcess-2-ret=%d, [%s]", [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    {L"DoProcess-4-done=%d, failed=%d, skipped=%d",
     [](const wchar_t* t) { return Fill(t, kInt, kInt, kInt); }},
    {L"DoProcess-쓰레드 멈춤", [](const wchar_t* t) { return Fill(t); }},
    {L"DoProcess-busy", [](const wchar_t* t) { return Fill(t); }},
    {L"DoProcess-stop", [](const wchar_t* t) { return Fill(t); }},
    {L"DoProcess-%s-%s-%d", [](const wchar_t* t) { return Fill(t, kChars, kText, kInt); }},
    {L"DoProcess-dates-%s-%d", [](const wchar_t* t) { return Fill(t, kText, kInt); }},
    {L"DoProcess-4-short=%d", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"ClaimOutput-%d-%s", [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    {L"CheckOutput-%d-%d-%d-%lld-%lld-%s",
     [](const wchar_t* t) { return Fill(t, kInt, kInt, kInt, kInt64, kInt64, kText); }},
    {L"DoProcess-parts differ-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"RemoveOwnOutput-not the run's-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"CRunJournal-cannot write-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"MarkUnfinishedOutputs-%s-%s", [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {L"이름에 '|' 가 든 파일은 합칠 수 없습니다 (a file whose name holds '|' cannot be joined): %s",
     [](const wchar_t* t) { return Fill(t, kText); }},
    {L"합친 파일에 이 확장자를 쓸 수 없습니다 (the joined file cannot take the extension of): %s",
     [](const wchar_t* t) { return Fill(t, kText); }},
    {L"Local\\KestruneConsoleStop-%u", [](const wchar_t* t) { return Fill(t, kUint32); }},
    {L"\\\\.\\pipe\\KestruneConsoleRelay-%u", [](const wchar_t* t) { return Fill(t, kUint32); }},
    {L"ConsoleRelay-no pipe-%u", [](const wchar_t* t) { return Fill(t, kUint32); }},
    {L"RunInOwnConsole-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"RunInOwnConsole-cannot start %s (%u)", [](const wchar_t* t) { return Fill(t, kText, kUint32); }},
    {L"GpuCheck-source-%s-%d", [](const wchar_t* t) { return Fill(t, kText, kInt); }},
    {L"GpuCheck-encoders-%d", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"GpuCheck-%s-%d", [](const wchar_t* t) { return Fill(t, kText, kInt); }},
    {L"ProbeMediaFile-direct-%d-%s", [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    {L"ProbeMediaFileAlone-%d-%s", [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    {L"ProbeMediaFilesTogether-%d-%d", [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {L"MeasureMediaFile-%d-%lld-%s", [](const wchar_t* t) { return Fill(t, kInt, kInt64, kText); }},
    {L"media-%d.txt", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"%s 를 지울 수 없습니다. ", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"%smedia.txt 를 쓸 수 없습니다. ", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"kestrune: GPU acceleration works here: encoding on the NVIDIA GPU (%s)\n",
     [](const wchar_t* t) { return Fill(t, kChars); }},
    {L"kestrune: GPU acceleration is not available on this computer: encoding on the CPU (%s); --gpu forces "
     L"it\n",
     [](const wchar_t* t) { return Fill(t, kChars); }},
    {L"OnButtonStart-no GPU, not started", [](const wchar_t* t) { return Fill(t); }},
    {L"OnButtonStart-no encoder, not started", [](const wchar_t* t) { return Fill(t); }},
    {L"OnButtonStart-checking", [](const wchar_t* t) { return Fill(t); }},
    {L"OnButtonStart-checking GPU", [](const wchar_t* t) { return Fill(t); }},
    {L"OnButtonStart-parts differ, not started", [](const wchar_t* t) { return Fill(t); }},
    {L"[%d/%d] %s", [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {L"완료 %d, 실패 %d, 건너뜀 %d", [](const wchar_t* t) { return Fill(t, kInt, kInt, kInt); }},
    {L"done %d, failed %d, skipped %d", [](const wchar_t* t) { return Fill(t, kInt, kInt, kInt); }},
    {L"합치기 (영상+소리) 명령이 지금 파일 목록과 출력 폴더로 만들어지지 않았습니다. 작업을 다시 "
     L"선택하세요.\n"
     L"(The video-and-audio merge command was not built for the current file list and output folder; choose "
     L"the job again.)",
     [](const wchar_t* t) { return Fill(t); }},
    {L"%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"확장자가 없는 파일은 합칠 수 없습니다 (a file to join needs an extension): %s",
     [](const wchar_t* t) { return Fill(t, kText); }},
    {L"%s -c copy  \"%s\" & pause", [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {L"%X-[%s]", [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    // src/install
    {L"FileDown-ret=%d, %s \n%s", [](const wchar_t* t) { return Fill(t, kInt, kText, kText); }},
    {L"%X(%d)-[%s]", [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {L"ChecksumList-ret=%d, %s", [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    {L"SHA256-%d-%s", [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    {L"Unpack-left out-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"SHA256-not accepted-%s-%s", [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {L"DownloadSums-not a sum-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    // src/jobs
    {L"%s.mp4", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"%s.mkv", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"%s.gif", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"%s.wav", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"%s.mp3", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"-c:v %s ", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"-b:v %dk", [](const wchar_t* t) { return Fill(t, kInt32); }},
    {L"-qp %d", [](const wchar_t* t) { return Fill(t, kInt32); }},
    {L"-map 0:v:0  %s %s %s", [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {L"-map 0:a:%d", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"samp = %d", [](const wchar_t* t) { return Fill(t, kInt32); }},
    {L"-q:a %d", [](const wchar_t* t) { return Fill(t, kInt32); }},
    {L"-b:a %dk", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L" %s -c:a %s %s ", [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {L"%s.%s", [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {L"오디오 추출, %s, %s, %s, %s", [](const wchar_t* t) { return Fill(t, kText, kText, kText, kText); }},
    {L"-ss %d:%d:%d", [](const wchar_t* t) { return Fill(t, kUint16, kUint16, kUint16); }},
    {L"-t %d", [](const wchar_t* t) { return Fill(t, kUint32); }},
    {L"입력 코덱 = %d, %d, %d", [](const wchar_t* t) { return Fill(t, kInt32, kInt, kInt32); }},
    {L"FFMpeg.exe %s -y %s -i \"%s\" %s %s %s  %s %s \"%s\"",
     [](const wchar_t* t) { return Fill(t, kText, kText, kText, kText, kText, kText, kText, kText, kText); }},
    {L"CmdSet=%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"%s, %s, %d", [](const wchar_t* t) { return Fill(t, kText, kText, kInt); }},
    {L"FFMpeg.exe -y -i \"%s\" -c copy  -f mpegts \"%s\"",
     [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {L"합치기 - 영상 + 소리", [](const wchar_t* t) { return Fill(t); }},
    {L"합치기위해 최소 두개의 파일이 필요합니다.", [](const wchar_t* t) { return Fill(t); }},
    {L"영상과 소리 파일이 1개씩 필요합니다.", [](const wchar_t* t) { return Fill(t); }},
    {L"미디어 정보 에러.", [](const wchar_t* t) { return Fill(t); }},
    {L"ffmpeg -i \"%s\" -i \"%s\" -map 0 -map 1 -c copy  -strict -2 \"%s\" & pause",
     [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {L"GetOutputFileName - %s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"GetOutputFileName - 1- %s, %s -> %s, (%d) ",
     [](const wchar_t* t) { return Fill(t, kText, kText, kText, kInt); }},
    {L"GetOutputFileName - 2 - %s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"%s_(%02d).%s", [](const wchar_t* t) { return Fill(t, kText, kInt, kText); }},
    {L"%d - %s", [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    {L"GetOutputFileName - END - %s -> [%s , %s],\n%s , ret=%d",
     [](const wchar_t* t) { return Fill(t, kText, kText, kText, kText, kInt); }},
    // src/probe
    {L"\n전체 파일 용량=%.3lf MB, 길이=%d분 %d초, [자막=%d개]",
     [](const wchar_t* t) { return Fill(t, kDouble, kInt32, kInt32, kInt32); }},
    {L"비디오 : 파일 용량=%.3lf MB, 길이=%d분 %d초,  코덱=%s, (%d x %d), 비트레이트=%d kbps",
     [](const wchar_t* t) { return Fill(t, kDouble, kInt32, kInt32, kText, kInt32, kInt32, kInt32); }},
    {L"오디오 (%d) - 파일 용량=%.3f MB, 길이=%d분 %d초,  코덱=%s, 채널=%d , 비트레이트=%d kbps, 언어=%s",
     [](const wchar_t* t) { return Fill(t, kInt, kDouble, kInt32, kInt32, kText, kInt32, kInt32, kText); }},
    {L"%s 가 없습니다. ", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"\"%sexec.bat\" \"%s\" \"%s\" \"%s\" 0",
     [](const wchar_t* t) { return Fill(t, kText, kText, kText, kText); }},
    {L"기다림 %d ms (%d)", [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {L"Local\\KestruneProbe-%016llX", [](const wchar_t* t) { return Fill(t, kHash); }},
    {L"시간 = %s, %s,  %d/%d/%d , %d",
     [](const wchar_t* t) { return Fill(t, kText, kText, kInt, kInt, kInt, kInt); }},
    {L"MediaLineMatch- AUDIO- %d, %d", [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {L"count = %d", [](const wchar_t* t) { return Fill(t, kInt); }},
    // src/ui
    {L"OnButtonStart-busy", [](const wchar_t* t) { return Fill(t); }},
    {L"OnButtonStart-not started-%d", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"%dk,CH=%d,%s,%s", [](const wchar_t* t) { return Fill(t, kInt32, kInt32, kText, kText); }},
    {L"OnDropFiles-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"파일 추가됨 - %s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"OnClickListVideo - 비디오 변경 - %s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"list input-1-(%d/%d)%d", [](const wchar_t* t) { return Fill(t, kInt, kInt, kInt); }},
    {L"list input-2-(%d/%d)", [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {L"list input-3-(%d/%d)", [](const wchar_t* t) { return Fill(t, kInt32, kInt); }},
    {L"출력-%d", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"MediaInfo.exe 파일이 없습니다. %s 에서 다운로드 하세요.",
     [](const wchar_t* t) { return Fill(t, kText); }},
    {L"mediainfo \"%s\" & pause", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"PreTranslateMessage-WM_SYSCOMMAND-%d", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"%d:%02d:%02d", [](const wchar_t* t) { return Fill(t, kInt, kInt, kInt); }},
    {L"%d:%02d", [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {L"%d%%", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"%.1fx", [](const wchar_t* t) { return Fill(t, kDouble); }},
    {L"TaskbarList-%08x-%08x", [](const wchar_t* t) { return Fill(t, kUint32, kUint32); }},
    {L"DoPowerAction-%d-%d-%d-%u", [](const wchar_t* t) { return Fill(t, kInt, kInt, kInt, kUint32); }},
    {L"OnButtonOutputFolderBrowse-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"OnButtonFolderAdd-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"AddPaths-folder-%s-%d", [](const wchar_t* t) { return Fill(t, kText, kInt); }},
    {L"PrepareOutputFolders-%s-%d", [](const wchar_t* t) { return Fill(t, kText, kInt); }},
    {L"OnButtonStart-output folder refused-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"OnButtonStart-every file again", [](const wchar_t* t) { return Fill(t); }},
    {L"DoProcess-report not kept-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"\nDoProcess-1-(%d/%d)-%s-done before-%s", [](const wchar_t* t) { return Fill(t, kInt, kInt, kText, kText); }},
    {L"DoProcess-4-done before=%d", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"ReadRunReports-not a report-%s", [](const wchar_t* t) { return Fill(t, kText); }},
    {L"OnBatchEnd-when done-%d-%s", [](const wchar_t* t) { return Fill(t, kInt, kChars); }},
    {L"%dx%d", [](const wchar_t* t) { return Fill(t, kInt32, kInt32); }},
    // src/base: the trace's own line, and lengths of time
    {L".%03d", [](const wchar_t* t) { return Fill(t, kInt); }},
    {L"%lld", [](const wchar_t* t) { return Fill(t, kInt64); }},
    {L"%lld:%02d:%02d", [](const wchar_t* t) { return Fill(t, kInt64, kInt, kInt); }},
    {L"%s\n", [](const wchar_t* t) { return Fill(t, kText); }},
};

// First arguments of the formatting calls that are not a text of their own file: the
// formatting templates' own parameter, the output overrides' table (whose texts have rows), and
// the table of texts (whose texts have rows in kTableFormats).
const std::set<std::string> kNotATextOfTheFile = {"format", "change.format", "Text"};

struct CTableRow {
  TextId id;
  std::string (*fill)(const wchar_t* text);
};

// Every text of the tables that takes arguments, filled as its call sites fill it; a text without
// a row must take none.
const CTableRow kTableFormats[] = {
    {TXT_AUDIO_ROW, [](const wchar_t* t) { return Fill(t, kInt32, kInt32, kText, kText); }},
    {TXT_RUN_STATUS, [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {TXT_RUN_REPORT, [](const wchar_t* t) { return Fill(t, kInt, kInt, kInt); }},
    {TXT_RUN_REPORT_SHORT, [](const wchar_t* t) { return Fill(t, kInt); }},
    {TXT_RUN_TIME_LEFT, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REASON_EXIT_STATUS, [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    {TXT_REASON_EXIT_STATUS_ONLY, [](const wchar_t* t) { return Fill(t, kInt); }},
    {TXT_REASON_SHORT, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_RUN_END_ENTRY, [](const wchar_t* t) { return Fill(t, kText, kText, kChars, kText); }},
    {TXT_RUN_END_MORE, [](const wchar_t* t) { return Fill(t, kInt); }},
    {TXT_CLI_REPORT_EXISTS, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_REPORT_NO_FOLDER, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_REPORT_NOT_WRITTEN, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_MEDIA_INFO_MISSING, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_GPU_NO_ENCODER, [](const wchar_t* t) { return Fill(t, kChars, kChars); }},
    {TXT_CONSOLE_HOST_MISSING, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_FFMPEG_MESSAGE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_MEDIAINFO_MESSAGE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_ADDRESS_NOT_HTTPS, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_DOWNLOAD_FAILED, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_REDIRECT_NOT_HTTPS, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_CHECKSUM_LIST_MISSING, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_CHECKSUM_NOT_LISTED, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_CHECKSUM_MISMATCH, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_NAME_TAKEN, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_WRITE_FAILED, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_ARCHIVE_DAMAGED, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_PROGRAM_NOT_IN_ARCHIVE, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_INSTALL_REFUSE_NOT_ACCEPTED, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_MEMBER_TOO_LARGE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_ARCHIVE_TOO_LARGE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_INSTALL_REFUSE_RESERVED_NAME, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_NO_EXTENSION, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_JOINED_EXTENSION, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_CONCAT_SEPARATOR, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_CONCAT_SEPARATOR_FOLDER, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_NOT_PROBED, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_VERSION, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_MESSAGE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_CANNOT_PROBE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_GPU_WORKS, [](const wchar_t* t) { return Fill(t, kChars); }},
    {TXT_CLI_GPU_UNAVAILABLE, [](const wchar_t* t) { return Fill(t, kChars); }},
    {TXT_CLI_GPU_NO_ENCODER, [](const wchar_t* t) { return Fill(t, kChars, kChars, kChars); }},
    {TXT_CLI_RUN_SUMMARY,
     [](const wchar_t* t) { return Fill(t, kInt, kChars, kInt, kInt, kInt, kChars, kChars); }},
    {TXT_CLI_SHORT_COUNT, [](const wchar_t* t) { return Fill(t, kInt); }},
    {TXT_CLI_COUNTER, [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {TXT_CLI_FILE_LINE, [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {TXT_CLI_SKIPPED_NOT_PROBED, [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {TXT_CLI_COMMAND_STOPPED, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_CLI_COMMAND_FAILED, [](const wchar_t* t) { return Fill(t, kText, kInt, kText, kText); }},
    {TXT_CLI_OUTPUT_SHORT, [](const wchar_t* t) { return Fill(t, kText, kText, kText, kText); }},
    {TXT_CLI_OUTPUT_MISSING, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_CLI_OUTPUT_UNCLAIMED, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_CLI_OUTPUT_RENAMED, [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {TXT_CLI_OUTPUT_EXISTS, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_UNKNOWN_COMMAND, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_UNKNOWN_OPTION, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_OPTION_NOT_FOR, [](const wchar_t* t) { return Fill(t, kText, kChars); }},
    {TXT_CLI_OPTION_NOT_FOR_EXEC, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_OPTION_NEEDS_VALUE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_OPTION_TAKES_NO_VALUE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_OPTION_CHOICES, [](const wchar_t* t) { return Fill(t, kChars, kText, kText); }},
    {TXT_CLI_OPTION_RATE, [](const wchar_t* t) { return Fill(t, kChars, kText); }},
    {TXT_CLI_OPTION_JOBS, [](const wchar_t* t) { return Fill(t, kInt32, kText); }},
    {TXT_CLI_OPTION_QP, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_OPTION_TRACKS, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_OPTION_RANGE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_OPTION_NEEDS_RANGE, [](const wchar_t* t) { return Fill(t, kChars); }},
    {TXT_CLI_NEEDS_FILE, [](const wchar_t* t) { return Fill(t, kChars); }},
    {TXT_CLI_NO_SUCH_FILE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_NO_SUCH_FOLDER, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_FOLDER_NOT_WRITABLE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_COUNTDOWN_SLEEP, [](const wchar_t* t) { return Fill(t, kInt); }},
    {TXT_COUNTDOWN_SHUT_DOWN, [](const wchar_t* t) { return Fill(t, kInt); }},
    {TXT_OUTPUT_FOLDER_MISSING, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_OUTPUT_FOLDER_NOT_WRITABLE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_OUTPUT_FOLDER_NOT_FULL_PATH, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_RANGE_AFTER_END, [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {TXT_REFUSE_NO_VIDEO_TO_EXTRACT, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_NO_AUDIO_TO_EXTRACT, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_JOIN_NO_VIDEO, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_JOIN_VIDEO_ONLY_HERE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_REFUSE_JOIN_VIDEO_CODEC, [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {TXT_REFUSE_JOIN_SIZE, [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {TXT_REFUSE_JOIN_FRAME_RATE, [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {TXT_REFUSE_JOIN_AUDIO_TRACKS, [](const wchar_t* t) { return Fill(t, kText, kText, kText); }},
    {TXT_REFUSE_JOIN_AUDIO_CODEC, [](const wchar_t* t) { return Fill(t, kText, kText, kText, kText); }},
    {TXT_REFUSE_JOIN_CHANNELS, [](const wchar_t* t) { return Fill(t, kText, kText, kText, kText); }},
    {TXT_REFUSE_JOIN_SAMPLE_RATE, [](const wchar_t* t) { return Fill(t, kText, kText, kText, kText); }},
    {TXT_JOIN_ANYWAY_QUESTION, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_SKIPPED_REFUSED, [](const wchar_t* t) { return Fill(t, kInt, kInt, kText); }},
    {TXT_CLI_OUTPUT_UNREADABLE, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_CLI_OUTPUT_NO_STREAM, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_CLI_OUTPUT_NO_LENGTH, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_CLI_JOIN_PARTS_DIFFER, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_OPTION_GPU_SESSIONS, [](const wchar_t* t) { return Fill(t, kInt, kText); }},
    {TXT_CLI_GPU_SESSION_REFUSED, [](const wchar_t* t) { return Fill(t, kText, kText, kInt); }},
    {TXT_CLI_EXEC_OUTPUT_UNCLAIMED, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_EXEC_OUTPUT_EMPTY, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_PARTIAL_RENAMED, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_PARTIAL_RENAMED, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_CLI_FOLDER_UNREADABLE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_FOLDER_NO_MEDIA, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_FOLDERS_UNREADABLE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_FOLDER_NO_MEDIA, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_PRESET_BAD_NAME, [](const wchar_t* t) { return Fill(t, kInt); }},
    {TXT_PRESET_IS_BUILT_IN, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_PRESET_REPLACE, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_PRESET_DELETE_ASK, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_PRESET_UNKNOWN, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_PRESET_DAMAGED, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_PRESET_DAMAGED_VALUES, [](const wchar_t* t) { return Fill(t, kText, kText); }},
    {TXT_PRESET_STORE_FAILED, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_PRESET_BUILT_IN_ROW, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_CLI_PRESET_SAVED_ROW, [](const wchar_t* t) { return Fill(t, kText); }},
    {TXT_RUN_REPORT_RESUMED, [](const wchar_t* t) { return Fill(t, kInt); }},
    {TXT_RESUME_QUESTION, [](const wchar_t* t) { return Fill(t, kInt, kInt); }},
    {TXT_CLI_RESUMED_COUNT, [](const wchar_t* t) { return Fill(t, kInt); }},
    {TXT_CLI_DONE_BEFORE, [](const wchar_t* t) { return Fill(t, kInt, kInt, kText, kText); }},
};

#ifndef _WIN32
// ---- The scan of the sources (natively: the sources are the same for every build) ----

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The code with its comments blanked out; literals stay as they are.
std::string WithoutComments(const std::string& code) {
  std::string out = code;
  enum { CODE, LINE_COMMENT, BLOCK_COMMENT, STRING, CHARACTER } state = CODE;
  for (size_t i = 0; i < out.size(); ++i) {
    char c = out[i];
    char next = i + 1 < out.size() ? out[i + 1] : '\0';
    switch (state) {
      case CODE:
        if (c == '/' && next == '/') {
          state = LINE_COMMENT;
          out[i] = ' ';
        } else if (c == '/' && next == '*') {
          state = BLOCK_COMMENT;
          out[i] = ' ';
        } else if (c == '"') {
          state = STRING;
        } else if (c == '\'') {
          state = CHARACTER;
        }
        break;
      case LINE_COMMENT:
        if (c == '\n')
          state = CODE;
        else
          out[i] = ' ';
        break;
      case BLOCK_COMMENT:
        if (c == '*' && next == '/') {
          out[i] = out[i + 1] = ' ';
          ++i;
          state = CODE;
        } else if (c != '\n') {
          out[i] = ' ';
        }
        break;
      case STRING:
      case CHARACTER:
        if (c == '\\') {
          ++i;
        } else if (c == (state == STRING ? '"' : '\'')) {
          state = CODE;
        }
        break;
    }
  }
  return out;
}

void AppendUtf8(std::string& out, uint32_t c) { out += WideToUtf8(std::wstring(1, static_cast<wchar_t>(c))); }

// Reads the wide literals that follow one another from at (blanks between them); their text,
// escapes resolved. False when no wide literal starts there.
bool ReadLiterals(const std::string& code, size_t& at, std::wstring& text) {
  std::string bytes;
  bool any = false;
  for (;;) {
    size_t i = at;
    while (i < code.size() && std::isspace(static_cast<unsigned char>(code[i]))) ++i;
    if (code.compare(i, 2, "L\"") != 0) break;
    any = true;
    for (i += 2; i < code.size() && code[i] != '"'; ++i) {
      if (code[i] != '\\') {
        bytes += code[i];
        continue;
      }
      char e = code[++i];
      const std::map<char, char> simple = {{'n', '\n'}, {'t', '\t'},  {'r', '\r'}, {'0', '\0'}, {'\\', '\\'},
                                           {'"', '"'},  {'\'', '\''}, {'a', '\a'}, {'v', '\v'}};
      if (simple.count(e) != 0) {
        bytes += simple.at(e);
      } else if (e == 'x' || e == 'u' || e == 'U') {
        size_t digits = e == 'u' ? 4 : e == 'U' ? 8 : 0;
        size_t start = i + 1;
        size_t end = start;
        while (end < code.size() && std::isxdigit(static_cast<unsigned char>(code[end])) &&
               (digits == 0 || end - start < digits)) {
          ++end;
        }
        AppendUtf8(bytes, static_cast<uint32_t>(std::stoul(code.substr(start, end - start), nullptr, 16)));
        i = end - 1;
      } else {
        ADD_FAILURE() << "an escape the scan does not know: \\" << e;
      }
    }
    at = i + 1;
  }
  if (any) text = Utf8ToWide(bytes);
  return any;
}

struct CFoundText {
  std::string where;
  std::wstring text;
};

// The texts the product fills, and the first arguments that are no text of their file.
void ScanFile(const std::string& name, const std::string& code, std::vector<CFoundText>& texts,
              std::vector<std::string>& others) {
  for (const char* function : {"Sprintf", "DebugLog", "DebugLogEach", "ShowMessage"}) {
    const std::string word = function;
    for (size_t at = code.find(word); at != std::string::npos; at = code.find(word, at + 1)) {
      if (at > 0 && IsWordChar(code[at - 1])) continue;
      size_t i = at + word.size();
      while (i < code.size() && std::isspace(static_cast<unsigned char>(code[i]))) ++i;
      if (i >= code.size() || code[i] != '(') continue;
      ++i;
      std::wstring text;
      if (ReadLiterals(code, i, text)) {
        texts.push_back({name + ": " + word, text});
        continue;
      }
      while (i < code.size() && std::isspace(static_cast<unsigned char>(code[i]))) ++i;
      size_t end = i;
      while (end < code.size() && (IsWordChar(code[end]) || code[end] == '.')) ++end;
      std::string argument = code.substr(i, end - i);
      if (argument == "const") continue;  // the declaration of the function itself
      // A named constant of the same file: "kName[] = L..." or "kName = L...".
      size_t definition = std::string::npos;
      for (size_t d = code.find(argument); d != std::string::npos; d = code.find(argument, d + 1)) {
        if (d > 0 && IsWordChar(code[d - 1])) continue;
        size_t j = d + argument.size();
        if (j < code.size() && IsWordChar(code[j])) continue;
        while (j < code.size() && (code[j] == ' ' || code[j] == '[' || code[j] == ']')) ++j;
        if (j < code.size() && code[j] == '=' && code[j + 1] != '=') {
          definition = j + 1;
          break;
        }
      }
      if (!argument.empty() && definition != std::string::npos && ReadLiterals(code, definition, text)) {
        texts.push_back({name + ": " + word + "(" + argument + ")", text});
      } else {
        others.push_back(argument);
      }
    }
  }
}

// Every wide literal of the code, adjacent ones joined.
void AllLiterals(const std::string& code, std::set<std::wstring>& literals) {
  for (size_t at = code.find("L\""); at != std::string::npos; at = code.find("L\"", at)) {
    if (at > 0 && IsWordChar(code[at - 1])) {
      at += 2;
      continue;
    }
    std::wstring text;
    size_t i = at;
    if (!ReadLiterals(code, i, text)) break;
    literals.insert(text);
    at = i;
  }
}

#endif
}  // namespace

TEST(FormatMismatch, ChecksTheNumberAndKindOfEveryConversion) {
  const FormatArgKind I = FORMAT_ARG_INTEGER, F = FORMAT_ARG_FLOAT, T = FORMAT_ARG_TEXT, O = FORMAT_ARG_OTHER;
  const struct {
    const wchar_t* format;
    std::vector<FormatArgKind> kinds;
    bool fits;
  } cases[] = {
      {L"no conversion", {}, true},
      {L"100%% sure", {}, true},
      {L"%s and %d", {T, I}, true},
      {L"%s and %d", {T}, false},  // too few
      {L"%s", {T, T}, false},      // too many: {fmt} would drop it silently
      {L"%s", {I}, false},         // {fmt} would print the number
      {L"%d", {T}, false},
      {L"%d", {F}, false},
      {L"%.3lf", {F}, true},
      {L"%.3f", {I}, false},
      {L"%-08.2f|%+d|% d|%#x", {F, I, I, I}, true},
      {L"%02d %016llX %04x %X %c", {I, I, I, I, I}, true},
      {L"%*d", {I, I}, true},  // the width is an argument too
      {L"%*d", {I}, false},
      {L"%.*s", {T, I}, false},  // the precision comes first
      {L"%.*s", {I, T}, true},
      {L"%1$s", {T}, false},  // numbered arguments are not used here
      {L"50%", {}, false},    // a lone percent sign at the end
      {L"%l", {I}, false},
      {L"%p", {O}, false},
      {L"%n", {I}, false},
      {L"%s", {O}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatMismatch(c.format, c.kinds.data(), c.kinds.size()) == nullptr, c.fits)
        << WideToUtf8(c.format);
  }
  EXPECT_NE(FormatMismatch(nullptr, nullptr, 0), nullptr);
  // The kinds of the argument types the program passes.
  EXPECT_EQ((FormatMismatchFor<int, int64_t, uint16_t, unsigned long long, char>(L"%d%d%d%llX%c")), nullptr);
  EXPECT_EQ((FormatMismatchFor<double, float>(L"%f%g")), nullptr);
  EXPECT_EQ((FormatMismatchFor<std::wstring, const wchar_t*, wchar_t[4]>(L"%s%s%s")), nullptr);
  EXPECT_NE((FormatMismatchFor<bool>(L"%d")), nullptr);
  EXPECT_NE((FormatMismatchFor<std::string>(L"%s")), nullptr);
}

TEST(Sprintf, ATextThatDoesNotFitIsTracedAndGivesNothing) {
  TraceCapture trace;
  // A command text given one argument too few must not come out as a command with "%s" in it.
  EXPECT_EQ(Sprintf(L"FFMpeg.exe -i \"%s\" \"%s\"", std::wstring(L"in.mp4")), L"");
  EXPECT_EQ(Sprintf(L"-b:a %dk", std::wstring(L"128")), L"");
  EXPECT_EQ(Sprintf(L"%s", std::wstring(L"a"), 2), L"");
  ASSERT_EQ(trace.Lines().size(), 3u);
  EXPECT_EQ(trace.Lines()[0], L"Sprintf - format error, too few arguments: [FFMpeg.exe -i \"%s\" \"%s\"]\n");
  EXPECT_EQ(trace.Lines()[1], L"Sprintf - format error, an argument of the wrong kind: [-b:a %dk]\n");
  EXPECT_EQ(trace.Lines()[2], L"Sprintf - format error, too many arguments: [%s]\n");

  // The trace and the message box format through Sprintf themselves: a broken text still ends
  // in one error line, not in a loop.
  trace.Clear();
  MessageCapture messages;
  DebugLog(L"DoProcess-2-exit=%d", std::wstring(L"x"));
  ShowMessage(L"%s %s", std::wstring(L"x"));
  EXPECT_EQ(trace.Lines(),
            (std::vector<std::wstring>{
                L"Sprintf - format error, an argument of the wrong kind: [DoProcess-2-exit=%d]\n", L"\n",
                L"Sprintf - format error, too few arguments: [%s %s]\n"}));
  EXPECT_EQ(messages.Messages(), std::vector<std::wstring>{L""});

  // Texts that fit come out whole, a percent sign in an argument included.
  EXPECT_EQ(Sprintf(L"%s_(%02d).%s", std::wstring(L"C:\\v\\100%s"), 2, L"mp4"), L"C:\\v\\100%s_(02).mp4");
}

TEST(ProductFormats, EveryTextFitsTheArgumentsOfItsCallSites) {
  for (const CFormatRow& row : kProductFormats) {
    EXPECT_EQ(row.fill(row.text), "") << WideToUtf8(row.text);
  }
}

// Each language's table: every id at most once, and the English one, which every other falls
// back on, complete; every text fits the arguments of its call sites, in every language.
TEST(TextTables, EveryTextOnceAndFilledAsItsCallSitesFillIt) {
  std::map<int, const CTableRow*> rows;
  for (const CTableRow& row : kTableFormats) EXPECT_TRUE(rows.emplace(row.id, &row).second) << row.id;
  for (const CTextTable* table : {&KoreanTexts(), &EnglishTexts()}) {
    SCOPED_TRACE(table->uiLanguage);
    std::set<int> seen;
    for (size_t i = 0; i < table->count; ++i) {
      const CTextEntry& entry = table->entries[i];
      EXPECT_TRUE(entry.id > TXT_NONE && entry.id < TXT_COUNT) << entry.id;
      EXPECT_TRUE(seen.insert(entry.id).second) << "twice: " << entry.id;
      ASSERT_NE(entry.text, nullptr) << entry.id;
      auto row = rows.find(entry.id);
      if (row != rows.end()) {
        EXPECT_EQ(row->second->fill(entry.text), "") << entry.id << ": " << WideToUtf8(entry.text);
      } else {
        EXPECT_EQ(Fill(entry.text), "")
            << entry.id << " takes arguments but has no row: " << WideToUtf8(entry.text);
      }
    }
    if (table == &EnglishTexts()) {
      EXPECT_EQ(seen.size(), static_cast<size_t>(TXT_COUNT - 1));
    }
  }
  // A text a table lacks comes from the English one; an unknown language speaks English.
  EXPECT_STREQ(Text(TXT_CLI_COUNTER_JOIN, kUiLanguageKorean), L"[join]");
  EXPECT_STREQ(Text(TXT_STOP_CAPTION, kUiLanguageKorean), L"중지");
  EXPECT_STREQ(Text(TXT_STOP_CAPTION, 7), L"Stop");
  EXPECT_EQ(RefusalText(CRefusal{TXT_REFUSE_NO_EXTENSION, L"C:\\v\\noext"}, kUiLanguageEnglish),
            L"A file to join needs an extension: C:\\v\\noext");
  EXPECT_EQ(RefusalText(CRefusal{TXT_REFUSE_NO_EXTENSION, L"C:\\v\\noext"}, kUiLanguageKorean),
            L"확장자가 없는 파일은 합칠 수 없습니다 (a file to join needs an extension): C:\\v\\noext");
  EXPECT_EQ(RefusalText(CRefusal(), kUiLanguageKorean), L"");
}

TEST(ProductFormats, TheTableHoldsEveryTextTheProductFills) {
#ifdef _WIN32
  GTEST_SKIP() << "the sources are scanned by the native run";
#else
  const char* source = std::getenv("KESTRUNE_SOURCE_DIR");
  if (source == nullptr) GTEST_SKIP() << "KESTRUNE_SOURCE_DIR is not set";
  namespace fs = std::filesystem;
  const fs::path root = fs::path(source) / "src";
  ASSERT_TRUE(fs::is_directory(root)) << root;

  std::set<std::wstring> table;
  for (const CFormatRow& row : kProductFormats) table.insert(row.text);
  std::vector<CFoundText> texts;
  std::vector<std::string> others;
  std::set<std::wstring> literals;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    const std::string code = WithoutComments(content.str());
    ScanFile(fs::relative(entry.path(), root).string(), code, texts, others);
    AllLiterals(code, literals);
  }
  ASSERT_GT(texts.size(), 100u) << "the scan found too few calls to be right";
  for (const CFoundText& found : texts) {
    EXPECT_EQ(table.count(found.text), 1u)
        << found.where << " fills a text without a row in kProductFormats: \"" << WideToUtf8(found.text)
        << "\"";
  }
  for (const std::string& argument : others) {
    EXPECT_EQ(kNotATextOfTheFile.count(argument), 1u)
        << "a format given as '" << argument << "': make it a text of its file, or give its texts rows";
  }
  // No row outlives its text.
  for (const std::wstring& text : table) {
    EXPECT_EQ(literals.count(text), 1u)
        << "a row for a text the product no longer has: \"" << WideToUtf8(text) << "\"";
  }
#endif
}
