#include "batch/gpu_check.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "base/file_util.h"
#include "base/scratch_folder.h"
#include "base/trace.h"
#include "batch/ffmpeg_encoders.h"
#include "exec/hidden_program.h"
#include "exec/program_lookup.h"
#include "jobs/command_builder.h"

namespace fs = std::filesystem;

namespace {

// Which ffmpeg, as it is on disk.
using FileKey = std::tuple<std::wstring, uintmax_t, long long>;
// And which path through it.
using CheckKey = std::tuple<FileKey, int32_t, bool>;

struct CGpuCheckState {
  std::mutex lock;
  std::map<FileKey, CEncoderList> lists;
  std::map<CheckKey, bool> answers;
  GpuCheckFunction replacement;
  int timeLimitMs = kGpuCheckTimeLimitMs;
  std::atomic<int> running{0};
};

// Never destroyed: a check may still be asked while the program ends.
CGpuCheckState& State() {
  static CGpuCheckState* state = new CGpuCheckState;
  return *state;
}

bool MakeKey(const std::wstring& ffmpeg, FileKey& key) {
  std::error_code code;
  fs::path path = FsPath(ffmpeg);
  uintmax_t size = fs::file_size(path, code);
  if (code) return false;
  auto modified = fs::last_write_time(path, code);
  if (code) return false;
  key = FileKey(ffmpeg, size, static_cast<long long>(modified.time_since_epoch().count()));
  return true;
}

// One check: the ffmpeg it asks, the time it has left and where its files go.
class CCheckRun {
 public:
  CCheckRun() {
    CGpuCheckState& state = State();
    ++state.running;
    int limit = 0;
    {
      std::lock_guard<std::mutex> guard(state.lock);
      limit = state.timeLimitMs;
    }
    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit);
    ffmpeg_ = FfmpegProgramPath();
    found_ = !ffmpeg_.empty() && MakeKey(ffmpeg_, file_);
  }
  ~CCheckRun() { --State().running; }
  CCheckRun(const CCheckRun&) = delete;
  CCheckRun& operator=(const CCheckRun&) = delete;

  bool Found() const { return found_; }
  const FileKey& File() const { return file_; }
  // The check's own folder, made when first needed: an answer kept from before needs none.
  bool HasScratch() {
    if (!scratch_) scratch_ = std::make_unique<CScratchFolder>("gpu-check");
    return scratch_->Made();
  }
  std::wstring Scratch(const wchar_t* name) { return HasScratch() ? scratch_->File(name) : std::wstring(); }

  // Runs ffmpeg with arguments in the time left; its status, kHiddenProgramTimedOut once the
  // time is up.
  int Run(const std::vector<std::wstring>& arguments, const std::wstring& outputFile = std::wstring()) const {
    int left = LeftMs();
    if (left <= 0) return kHiddenProgramTimedOut;
    return RunHiddenProgramWithin(left, ffmpeg_, arguments, outputFile);
  }

  // The build's encoders: kept from an earlier check of this ffmpeg, or read now (and kept when
  // read).
  CEncoderList Encoders() {
    CGpuCheckState& state = State();
    {
      std::lock_guard<std::mutex> guard(state.lock);
      auto known = state.lists.find(file_);
      if (known != state.lists.end()) return known->second;
    }
    CEncoderList list;
    if (!found_ || !HasScratch() || LeftMs() <= 0) return list;
    ReadFfmpegEncoders(ffmpeg_, LeftMs(), Scratch(L"encoders.txt"), list);
    if (list.known) {
      std::lock_guard<std::mutex> guard(state.lock);
      state.lists[file_] = list;
    }
    return list;
  }

 private:
  int LeftMs() const {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
  }

  std::unique_ptr<CScratchFolder> scratch_;
  std::chrono::steady_clock::time_point deadline_;
  std::wstring ffmpeg_;
  FileKey file_;
  bool found_ = false;
};

const wchar_t kTestPicture[] = L"testsrc=size=256x144:rate=25:duration=0.2";

// The H.264 encoders to make the test clip with, those that run on any machine first; where
// the list is unknown, the one most builds have.
std::vector<std::wstring> SourceEncoders(const CEncoderList& list) {
  if (!list.known) return {L"libx264"};
  std::vector<std::wstring> listed = list.EncodersOf(L"h264");
  std::vector<std::wstring> ordered;
  for (const wchar_t* first : {L"libx264", L"libopenh264", L"h264_nvenc"}) {
    if (std::find(listed.begin(), listed.end(), first) != listed.end()) ordered.push_back(first);
  }
  for (const std::wstring& name : listed) {
    // libx264rgb makes RGB H.264, which the hardware decoders do not take.
    if (name != L"libx264rgb" && std::find(ordered.begin(), ordered.end(), name) == ordered.end())
      ordered.push_back(name);
  }
  return ordered;
}

// A fifth of a second of H.264 at source, made with the first of the build's encoders that
// can; FFMPEG_RUN_FAILED when none could.
FfmpegRun MakeSource(CCheckRun& check, const CEncoderList& list, const std::wstring& source) {
  for (const std::wstring& encoder : SourceEncoders(list)) {
    int made = check.Run({L"-hide_banner", L"-nostdin", L"-y", L"-f", L"lavfi", L"-i", kTestPicture, L"-c:v",
                          encoder, L"-pix_fmt", L"yuv420p", L"-f", L"h264", source});
    DebugLog(L"GpuCheck-source-%s-%d", encoder, made);
    FfmpegRun run = FfmpegRunOf(made);
    if (run == FFMPEG_RUN_NO_ANSWER) return run;
    if (run == FFMPEG_RUN_OK && GetFileLength(source) > 0) return run;
  }
  return FFMPEG_RUN_FAILED;
}

// The test encode: FFMPEG_RUN_OK when the NVIDIA path works.
FfmpegRun TestNvidiaPath(CCheckRun& check, const CEncoderList& list, int32_t outputCodec, bool compatMode) {
  const std::wstring encoder = VideoEncoderName(outputCodec, true);
  // A build without the encoder needs no test to say no.
  if (!list.Has(encoder)) return FFMPEG_RUN_FAILED;
  if (!check.HasScratch()) return FFMPEG_RUN_NO_ANSWER;
  const std::wstring source = check.Scratch(L"source.h264");
  FfmpegRun made = MakeSource(check, list, source);
  if (made == FFMPEG_RUN_NO_ANSWER) return made;
  std::vector<std::wstring> arguments{L"-hide_banner", L"-nostdin"};
  if (made == FFMPEG_RUN_OK) {
    // Decoded on the GPU, as the commands decode an H.264 input.
    arguments.insert(arguments.end(), {L"-hwaccel", L"cuvid"});
    if (!compatMode) arguments.insert(arguments.end(), {L"-c:v", L"h264_cuvid"});
    arguments.insert(arguments.end(), {L"-i", source});
  } else {
    // No H.264 to decode: the encoder alone, on a generated picture.
    arguments.insert(arguments.end(), {L"-f", L"lavfi", L"-i", kTestPicture});
  }
  arguments.insert(arguments.end(), {L"-c:v", encoder, L"-f", L"null", L"-"});
  int status = check.Run(arguments);
  DebugLog(L"GpuCheck-%s-%d", encoder, status);
  return FfmpegRunOf(status);
}

GpuCheckFunction Replacement() {
  CGpuCheckState& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  return state.replacement;
}

// The answer of check, kept when it is definite; list receives the build's encoders.
bool CheckNvidiaPath(CCheckRun& check, int32_t outputCodec, bool compatMode, CEncoderList& list) {
  // Called outside the lock: a test's stand-in may take its time.
  if (GpuCheckFunction replacement = Replacement()) return replacement(outputCodec, compatMode);
  if (!check.Found()) return false;
  const CheckKey key(check.File(), outputCodec, compatMode);
  CGpuCheckState& state = State();
  {
    std::lock_guard<std::mutex> guard(state.lock);
    auto known = state.answers.find(key);
    if (known != state.answers.end()) return known->second;
  }
  list = check.Encoders();
  FfmpegRun run = TestNvidiaPath(check, list, outputCodec, compatMode);
  // A run that could not start or ran out of time says nothing of the GPU: the next check asks
  // again.
  if (run == FFMPEG_RUN_NO_ANSWER) return false;
  std::lock_guard<std::mutex> guard(state.lock);
  state.answers[key] = run == FFMPEG_RUN_OK;
  return run == FFMPEG_RUN_OK;
}

}  // namespace

bool UsesNvidiaPath(const JobSettings& settings) {
  bool encodesVideo = settings.outputCodec == OUT_H264 || settings.outputCodec == OUT_H265;
  return settings.jobKind == JOB_CONVERT && settings.useGpu && encodesVideo && !settings.copyVideo &&
         !settings.rangeCopy;
}

GpuDecision DecideGpu(const JobSettings& settings) {
  if (!UsesNvidiaPath(settings)) return GPU_NOT_ASKED;
  CCheckRun check;
  CEncoderList list;
  if (CheckNvidiaPath(check, settings.outputCodec, settings.gpuCompatMode, list)) return GPU_WORKS;
  if (!list.known) list = check.Encoders();
  return list.Has(VideoEncoderName(settings.outputCodec, false)) ? GPU_UNAVAILABLE : GPU_NO_ENCODER;
}

void UseCpuInstead(JobSettings& settings) {
  settings.useGpu = false;
  settings.gpuCompatMode = false;
}

bool IsNvidiaPathAvailable(int32_t outputCodec, bool compatMode) {
  CCheckRun check;
  CEncoderList list;
  return CheckNvidiaPath(check, outputCodec, compatMode, list);
}

bool FfmpegHasEncoder(const wchar_t* encoder) {
  CCheckRun check;
  return check.Encoders().Has(encoder);
}

int SetGpuCheckTimeLimit(int milliseconds) {
  CGpuCheckState& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  int previous = state.timeLimitMs;
  state.timeLimitMs = milliseconds;
  return previous;
}

int GpuChecksRunning() { return State().running.load(); }

GpuCheckFunction SetGpuCheck(GpuCheckFunction check) {
  CGpuCheckState& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  GpuCheckFunction previous = state.replacement;
  state.replacement = std::move(check);
  return previous;
}
