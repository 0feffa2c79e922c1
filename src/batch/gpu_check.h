#pragma once
// Whether the NVIDIA path of a conversion can work here: the commands decode H.264 and H.265
// inputs with the cuvid decoders ("-hwaccel cuvid -c:v h264_cuvid") and encode with
// h264_nvenc or hevc_nvenc, which fail on a machine without an NVIDIA GPU and its driver, or
// with an ffmpeg built without them. The check is a short test encode, run before a batch
// starts so that no batch runs twenty conversions that all fail the same way; where the path
// does not work, the CPU's encoder (libx264, libx265) takes over only if this ffmpeg has it.
//
// The check may take a while (a driver that never answers): it is bounded by a time limit and
// runs on whatever thread asks; the window asks from a thread of its own.
#include <cstdint>
#include <functional>

#include "jobs/job_settings.h"

// True when the commands of settings would take the NVIDIA path: a conversion with GPU
// acceleration ticked to H.264 or H.265 that encodes the video (no stream copy).
bool UsesNvidiaPath(const JobSettings& settings);

// What a run of settings does about the GPU; the window and the command line word it.
enum GpuDecision {
  GPU_NOT_ASKED = 0,  // the commands do not take the NVIDIA path: nothing to decide
  GPU_WORKS,          // they do, and the check found that it works here
  GPU_UNAVAILABLE,    // they do, and it does not work here: run on the CPU (UseCpuInstead) or not at all
  GPU_NO_ENCODER,     // it does not work here, and this ffmpeg lacks the CPU's encoder too: no run
};

// Runs the check where settings take the NVIDIA path; for GPU_NO_ENCODER the encoders are
// VideoEncoderName(settings.outputCodec, true) and (…, false).
GpuDecision DecideGpu(const JobSettings& settings);

// The settings of the same run on the CPU.
void UseCpuInstead(JobSettings& settings);

// The answer for the ffmpeg the commands run and for this output codec: false at once when the
// build does not list the NVENC encoder of outputCodec; otherwise a fraction of a second's
// encode by that encoder, of a generated H.264 clip through the cuvid decoder (named, or not
// in compatibility mode) when the build can make one (with any H.264 encoder it lists), else of
// a generated picture alone. A definite answer is kept for the life of the process, per ffmpeg
// path, size and modification time; false without keeping it when ffmpeg cannot be found or
// started, no scratch folder can be made, or the time limit ends the check.
bool IsNvidiaPathAvailable(int32_t outputCodec, bool compatMode);

// Whether the ffmpeg the commands run lists the encoder (ffmpeg -encoders, read once per
// ffmpeg as it is on disk); true when the list cannot be read, as nothing then says otherwise.
bool FfmpegHasEncoder(const wchar_t* encoder);

// The time one check may take, its ffmpeg runs together; a run still going then is ended and
// the answer is "no" for now, not kept. 20 s unless changed; returns the previous limit.
constexpr int kGpuCheckTimeLimitMs = 20000;
int SetGpuCheckTimeLimit(int milliseconds);

// Checks under way now, on any thread (the program does not wait for them when it ends).
int GpuChecksRunning();

// Tests put their own answer in place of the test encode (the encoder list stays the real
// one); an empty function restores it. Returns the previous one.
using GpuCheckFunction = std::function<bool(int32_t outputCodec, bool compatMode)>;
GpuCheckFunction SetGpuCheck(GpuCheckFunction check);
