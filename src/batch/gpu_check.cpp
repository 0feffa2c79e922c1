#include "batch/gpu_check.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <tuple>

#include "base/file_util.h"
#include "base/scratch_folder.h"
#include "base/trace.h"
#include "exec/hidden_program.h"
#include "exec/program_lookup.h"
#include "jobs/command_builder.h"

namespace fs = std::filesystem;

namespace {

// Which ffmpeg, as it is on disk, and which path through it.
using CheckKey = std::tuple<std::wstring, uintmax_t, long long, int32_t, bool>;

struct CGpuCheckState {
  std::mutex lock;
  std::map<CheckKey, bool> answers;
  GpuCheckFunction replacement;
};

// Never destroyed: a check may still be asked while the program ends.
CGpuCheckState& State() {
  static CGpuCheckState* state = new CGpuCheckState;
  return *state;
}

bool MakeKey(const std::wstring& ffmpeg, int32_t outputCodec, bool compatMode, CheckKey& key) {
  std::error_code code;
  fs::path path = FsPath(ffmpeg);
  uintmax_t size = fs::file_size(path, code);
  if (code) return false;
  auto modified = fs::last_write_time(path, code);
  if (code) return false;
  key = CheckKey(ffmpeg, size, static_cast<long long>(modified.time_since_epoch().count()), outputCodec,
                 compatMode);
  return true;
}

bool RunTestEncode(const std::wstring& ffmpeg, int32_t outputCodec, bool compatMode) {
  CScratchFolder scratch("gpu-check");
  if (!scratch.Made()) return false;
  const std::wstring source = scratch.File(L"source.h264");
  // The source: a fifth of a second of H.264, made on the CPU.
  int made = RunHiddenProgram(ffmpeg, {L"-hide_banner", L"-nostdin", L"-y", L"-f", L"lavfi", L"-i",
                                       L"testsrc=size=256x144:rate=25:duration=0.2", L"-c:v", L"libx264",
                                       L"-pix_fmt", L"yuv420p", L"-f", L"h264", source});
  if (made != 0) {
    DebugLog(L"GpuCheck-no source-%d", made);
    return false;
  }
  std::vector<std::wstring> arguments{L"-hide_banner", L"-nostdin", L"-hwaccel", L"cuvid"};
  if (!compatMode) arguments.insert(arguments.end(), {L"-c:v", L"h264_cuvid"});
  arguments.insert(arguments.end(),
                   {L"-i", source, L"-c:v", VideoEncoderName(outputCodec, true), L"-f", L"null", L"-"});
  int status = RunHiddenProgram(ffmpeg, arguments);
  DebugLog(L"GpuCheck-%s-%d", ffmpeg, status);
  return status == 0;
}

}  // namespace

bool UsesNvidiaPath(const JobSettings& settings) {
  bool encodesVideo = settings.outputCodec == OUT_H264 || settings.outputCodec == OUT_H265;
  return settings.jobKind == JOB_CONVERT && settings.useGpu && encodesVideo && !settings.copyVideo &&
         !settings.rangeCopy;
}

GpuDecision DecideGpu(const JobSettings& settings) {
  if (!UsesNvidiaPath(settings)) return GPU_NOT_ASKED;
  return IsNvidiaPathAvailable(settings.outputCodec, settings.gpuCompatMode) ? GPU_WORKS : GPU_UNAVAILABLE;
}

void UseCpuInstead(JobSettings& settings) {
  settings.useGpu = false;
  settings.gpuCompatMode = false;
}

bool IsNvidiaPathAvailable(int32_t outputCodec, bool compatMode) {
  CGpuCheckState& state = State();
  {
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.replacement) return state.replacement(outputCodec, compatMode);
  }
  std::wstring ffmpeg = FfmpegProgramPath();
  CheckKey key;
  if (ffmpeg.empty() || !MakeKey(ffmpeg, outputCodec, compatMode, key)) return false;
  std::lock_guard<std::mutex> guard(state.lock);
  auto known = state.answers.find(key);
  if (known != state.answers.end()) return known->second;
  bool available = RunTestEncode(ffmpeg, outputCodec, compatMode);
  state.answers[key] = available;
  return available;
}

GpuCheckFunction SetGpuCheck(GpuCheckFunction check) {
  CGpuCheckState& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  GpuCheckFunction previous = state.replacement;
  state.replacement = std::move(check);
  return previous;
}
