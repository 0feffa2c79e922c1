#pragma once
// Whether the NVIDIA path of a conversion can work here: the commands decode H.264 and H.265
// inputs with the cuvid decoders ("-hwaccel cuvid -c:v h264_cuvid") and encode with
// h264_nvenc or hevc_nvenc, which fail on a machine without an NVIDIA GPU and its driver, or
// with an ffmpeg built without them. The check is a short test encode, run before a batch
// starts so that no batch runs twenty conversions that all fail the same way.
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
};

// Runs the check where settings take the NVIDIA path.
GpuDecision DecideGpu(const JobSettings& settings);

// The settings of the same run on the CPU.
void UseCpuInstead(JobSettings& settings);

// The answer for the ffmpeg the commands run and for this output codec: a fraction of a second's
// encode of a generated H.264 clip through the cuvid decoder (named, or not in compatibility
// mode) and the NVENC encoder of outputCodec. Cached for the life of the process, per ffmpeg
// path, size and modification time. False when ffmpeg cannot be found.
bool IsNvidiaPathAvailable(int32_t outputCodec, bool compatMode);

// Tests put their own answer in place of the real check; an empty function restores it.
// Returns the previous one.
using GpuCheckFunction = std::function<bool(int32_t outputCodec, bool compatMode)>;
GpuCheckFunction SetGpuCheck(GpuCheckFunction check);
