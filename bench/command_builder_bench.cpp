// Commands built per second: BuildCommand on an existing input with the probe replaced by a
// fixed description, so the figure is the builder and the output naming (file tests included),
// not MediaInfo.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "jobs/command_builder.h"

namespace {
namespace fs = std::filesystem;

// A folder holding clip.mp4 and clip_(02).mp4, so every build tests three names.
class CBenchFolder {
 public:
  CBenchFolder() {
    dir_ = fs::temp_directory_path() /
           ("kestrune-bench-" + std::to_string(fs::file_time_type::clock::now().time_since_epoch().count()));
    fs::create_directories(dir_);
    for (const char* name : {"clip.mp4", "clip_(02).mp4"}) std::ofstream(dir_ / name) << "x";
  }
  ~CBenchFolder() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::wstring Input() const { return (dir_ / "clip.mp4").wstring(); }

 private:
  fs::path dir_;
};

MediaDesc MakeMedia(int tracks, int channels, int bitRate) {
  MediaDesc media;
  ResetMediaDesc(media);
  media.video.codec = VCODEC_H264;
  media.video.width = 1920;
  media.video.height = 1080;
  media.audioCount = tracks;
  for (int i = 0; i < tracks; ++i) {
    media.audio[i].codec = ACODEC_AAC;
    media.audio[i].channels = channels;
    media.audio[i].bitRate = bitRate;
  }
  media.subtitleCount = 1;
  return media;
}

void RunBuilds(benchmark::State& state, JobSettings settings, const MediaDesc& media) {
  CBenchFolder folder;
  const std::wstring input = folder.Input();
  const COutputReservations none;
  for (auto _ : state) {
    CBuiltCommand built = BuildCommand(settings, input, &media, none, true);
    benchmark::DoNotOptimize(built.text.data());
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ConvertDefaults(benchmark::State& state) { RunBuilds(state, JobSettings(), MakeMedia(1, 2, 192)); }

void BM_ConvertSevenTracksRangeMkv(benchmark::State& state) {
  JobSettings settings;
  settings.containerMkv = true;
  settings.downmixStereo = true;
  settings.applyRange = true;
  settings.rangeStart = {0, 1, 0};
  settings.rangeEnd = {0, 2, 30};
  RunBuilds(state, settings, MakeMedia(7, 6, 640));
}

void BM_AudioExtract(benchmark::State& state) {
  JobSettings settings;
  settings.jobKind = JOB_AUDIO_EXTRACT;
  RunBuilds(state, settings, MakeMedia(2, 2, 192));
}

void BM_MergeFilesRemux(benchmark::State& state) {
  JobSettings settings;
  settings.jobKind = JOB_MERGE_FILES;
  RunBuilds(state, settings, MakeMedia(1, 2, 192));
}
}  // namespace

BENCHMARK(BM_ConvertDefaults);
BENCHMARK(BM_ConvertSevenTracksRangeMkv);
BENCHMARK(BM_AudioExtract);
BENCHMARK(BM_MergeFilesRemux);
