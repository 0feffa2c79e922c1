#include "cli/cli_batch_host.h"

#include <chrono>
#include <thread>

#include "base/duration_text.h"
#include "base/format.h"
#include "base/text.h"
#include "batch/gpu_sessions.h"
#include "cli/command_watch.h"
#include "cli/run_interrupt.h"
#include "exec/command_error_pipe.h"
#include "exec/command_interpreter.h"
#include "exec/command_stop.h"

namespace {
// How long a command ended by the user's Ctrl-C waits for the run's stop, which the interrupt's
// own thread brings at once.
constexpr auto kStopWait = std::chrono::seconds(5);
// A Ctrl-C at the terminal reaches this process and its programs at once, but a busy machine
// may run the program's exit before this process's handler: a program that failed is given
// this long for the interrupt to show.
constexpr auto kInterruptLag = std::chrono::milliseconds(250);

std::wstring FileName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"/\\");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

double RangeLength(const JobSettings& settings) {
  return settings.applyRange ? GetRangeSeconds(&settings.rangeStart, &settings.rangeEnd) : 0;
}

// The same Ctrl-C that reaches this process reaches its programs, which may end by it before
// the run's stop has come; their status is then the stop's, never a failure. lag: how long an
// interrupt may still take to arrive.
bool EndedByInterrupt(CCommandStop* stop, std::chrono::milliseconds lag = std::chrono::milliseconds(0)) {
  if (stop == nullptr) return false;
  auto arrives = std::chrono::steady_clock::now() + lag;
  while (!CRunInterrupt::Arrived() && std::chrono::steady_clock::now() < arrives)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (!CRunInterrupt::Arrived()) return false;
  auto until = std::chrono::steady_clock::now() + kStopWait;
  while (!stop->Stopped() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return stop->Stopped();
}

// A pause waits for Enter on the terminal, which progress lines would hide.
bool DrawsProgress(const CCliOutput& out, const CCliRequest& request) {
  return !request.pause && out.ErrIsTerminal();
}
}  // namespace

CCliBatchHost::CCliBatchHost(CCliOutput& out, const CCliRequest& request, CPreviewedCommand preview)
    : out_(out),
      board_([&out](const std::string& text) { out.Err(Utf8ToWide(text)); },
             [&out] { return out.ErrColumns(); }, DrawsProgress(out, request)),
      verbose_(request.verbose),
      severalAtOnce_(request.jobs > 1),
      readsReasons_(!request.reportFile.empty()),
      jobKind_(request.settings.jobKind),
      rangeSeconds_(RangeLength(request.settings)),
      fileCount_(static_cast<int>(request.settings.files.size())),
      gpuSessions_(request.gpuSessions),
      preview_(std::move(preview)) {}

void CCliBatchHost::Say(const std::wstring& text) { board_.Print(WideToUtf8(text)); }

std::wstring CCliBatchHost::Counter(const CBatchCommand& command) const {
  // A command without a file of its own: the join of a merge-files run, or the merge of video
  // and audio.
  if (command.position == 0)
    return CliText(jobKind_ == JOB_MERGE_FILES ? TXT_CLI_COUNTER_JOIN : TXT_CLI_COUNTER_MERGE);
  return CliFormat(TXT_CLI_COUNTER, command.position, command.fileCount);
}

void CCliBatchHost::ReportNoCommand(const std::wstring& path, int position) {
  Say(CliFormat(TXT_CLI_FILE_LINE, position, fileCount_, path));
  Say(CliFormat(TXT_CLI_SKIPPED_NOT_PROBED, position, fileCount_, path));
}

void CCliBatchHost::ReportRefusedFile(const std::wstring& path, int position, const CRefusal& refusal) {
  Say(CliFormat(TXT_CLI_FILE_LINE, position, fileCount_, path));
  Say(CliFormat(TXT_CLI_SKIPPED_REFUSED, position, fileCount_, RefusalText(refusal, kUiLanguageEnglish)));
}

void CCliBatchHost::ReportResumed(const std::wstring& path, int position, const std::wstring& output) {
  Say(CliFormat(TXT_CLI_DONE_BEFORE, position, fileCount_, path, output));
}

int CCliBatchHost::RunWatched(const CBatchCommand& command, CCommandStop* stop, const std::wstring& counter,
                              std::string& lastLines, std::string& errorLine) {
  // Without a terminal there is no progress to draw, and one file at a time writes what it always
  // wrote: ffmpeg's own output as it comes (read on its way only for a report's reasons). Several
  // at once would interleave it, so there it waits for a failure or --verbose.
  const bool passThrough = !board_.Draws() && !severalAtOnce_;
  if (passThrough && !readsReasons_) return RunCommandLine(command.text, stop);
  CCommandErrorPipe errors;
  // Where the pipe cannot be made (and on Windows), ffmpeg writes where it always did.
  if (!errors.IsOpen()) return RunCommandLine(command.text, stop);
  CCommandWatch::CSettings settings;
  settings.id = command.position;
  settings.counter = WideToUtf8(counter);
  settings.name = WideToUtf8(FileName(command.input));
  // The join's length is the sum of its parts; its own progress shows the time reached.
  settings.total = command.position == 0 ? 0 : rangeSeconds_;
  settings.verbose = verbose_;
  settings.passThrough = passThrough;
  if (severalAtOnce_) settings.prefix = settings.counter + " ";
  CCommandWatch watch(errors, board_, settings);
  int status = RunCommandLine(command.text, stop, &errors);
  errors.CloseWriteEnd();
  watch.Finish();
  // What was passed on as it came is not shown again.
  if (!passThrough) lastLines = watch.LastLines();
  errorLine = watch.LastErrorLine();
  return status;
}

int CCliBatchHost::RunCommand(const CBatchCommand& command, CCommandStop* stop) {
  const std::wstring counter = Counter(command);
  if (EndedByInterrupt(stop)) return kStoppedStatus;
  if (command.position > 0)
    Say(counter + L" " + command.input + L"\n");
  else if (jobKind_ != JOB_MERGE_FILES)
    Say(counter + L" " + command.text + L"\n");
  if (!command.plannedOutput.empty())
    Say(CliFormat(TXT_CLI_OUTPUT_RENAMED, counter, command.plannedOutput, command.output));
  std::string lastLines, errorLine;
  int status = RunWatched(command, stop, counter, lastLines, errorLine);
  if (status == 0) return 0;
  {
    std::lock_guard<std::mutex> guard(reasonsLock_);
    reasons_[command.position] = Utf8ToWide(errorLine);
  }
  if ((stop != nullptr && stop->Stopped()) || EndedByInterrupt(stop, kInterruptLag)) {
    Say(CliFormat(TXT_CLI_COMMAND_STOPPED, counter, command.position > 0 ? command.input : command.text));
    return kStoppedStatus;
  }
  const std::wstring subject = command.position > 0 ? command.input : command.text;
  // The GPU's refusal of one more session is named as such: a lower --gpu-sessions avoids it.
  if (command.gpuEncode && IsGpuSessionRefusal(lastLines)) {
    Say(CliFormat(TXT_CLI_GPU_SESSION_REFUSED, counter, subject, gpuSessions_));
    return status;
  }
  // ffmpeg's own last words say why; with --verbose they were shown already.
  std::wstring why = verbose_ ? std::wstring() : Utf8ToWide(lastLines);
  Say(CliFormat(TXT_CLI_COMMAND_FAILED, counter, status, command.position > 0 ? command.input : command.text,
                why));
  return status;
}

void CCliBatchHost::ReportOutput(const CBatchCommand& command, const COutputReport& report) {
  const std::wstring counter = Counter(command);
  switch (report.verdict) {
    case OUTPUT_SHORT:
      Say(CliFormat(TXT_CLI_OUTPUT_SHORT, counter, command.output, SecondsText(report.actualMs),
                    SecondsText(report.expectedMs)));
      break;
    case OUTPUT_UNREADABLE:
      Say(CliFormat(TXT_CLI_OUTPUT_UNREADABLE, counter, command.output));
      break;
    case OUTPUT_NO_STREAM:
      Say(CliFormat(TXT_CLI_OUTPUT_NO_STREAM, counter, command.output));
      break;
    case OUTPUT_NO_LENGTH:
      Say(CliFormat(TXT_CLI_OUTPUT_NO_LENGTH, counter, command.output));
      break;
    case OUTPUT_MISSING:
      Say(CliFormat(TXT_CLI_OUTPUT_MISSING, counter, command.output));
      break;
    case OUTPUT_UNCLAIMED:
      // The command's own line, which says what it works on, would otherwise never come.
      if (command.position > 0) Say(counter + L" " + command.input + L"\n");
      Say(CliFormat(TXT_CLI_OUTPUT_UNCLAIMED, counter, command.output));
      break;
    default:
      break;
  }
}

std::wstring CCliBatchHost::CommandFailureReason(const CBatchCommand& command) {
  std::lock_guard<std::mutex> guard(reasonsLock_);
  auto found = reasons_.find(command.position);
  return found == reasons_.end() ? std::wstring() : found->second;
}

void CCliBatchHost::ReportEnd(const CBatchReport& report) {
  report_ = report;
  ended_ = true;
}
