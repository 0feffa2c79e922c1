#pragma once
// Helpers of the job tests: media descriptions made by hand for the injected probe, and
// expected texts written with a "<dir>" placeholder for the test's own folder.
#include <string>
#include <vector>

#include "batch/file_command.h"
#include "jobs/command_builder.h"
#include "jobs/output_naming.h"
#include "probe/media_desc.h"
#include "probe/probe_runner.h"

class MediaBuilder {
 public:
  MediaBuilder() { ResetMediaDesc(media_); }
  MediaBuilder& Video(int32_t codec, int32_t width, int32_t height = 0) {
    media_.video.codec = codec;
    media_.video.width = width;
    media_.video.height = height != 0 ? height : width * 9 / 16;
    return *this;
  }
  MediaBuilder& Track(int32_t codec, int32_t channels, int32_t bitRate) {
    AudioTrackDesc& track = media_.audio[media_.audioCount++];
    track.codec = codec;
    track.channels = channels;
    track.bitRate = bitRate;
    return *this;
  }
  // The sample rate, bit depth and AudioSampleFormat flags of the last track.
  MediaBuilder& Samples(int32_t sampleRate, int32_t bitDepth = 16, int32_t sampleFormat = 0) {
    AudioTrackDesc& track = media_.audio[media_.audioCount - 1];
    track.sampleRate = sampleRate;
    track.bitDepth = bitDepth;
    track.sampleFormat = sampleFormat;
    return *this;
  }
  MediaBuilder& Tracks(int count, int32_t codec, int32_t channels, int32_t bitRate) {
    for (int i = 0; i < count; ++i) Track(codec, channels, bitRate);
    return *this;
  }
  MediaBuilder& Subtitles(int32_t count) {
    media_.subtitleCount = count;
    return *this;
  }
  const MediaDesc& Get() const { return media_; }

 private:
  MediaDesc media_;
};

// Stands in for ProbeMediaFile: answers with a fixed description, or fails.
struct FakeProbe {
  MediaDesc media;
  bool succeeds = true;
  std::vector<std::wstring> probedPaths;

  ProbeFunction Function() {
    return [this](const std::wstring& path, MediaDesc& out) {
      probedPaths.push_back(path);
      if (!succeeds) return false;
      out = media;
      return true;
    };
  }
};

// The builds of one run as the tests drive them: each input probed by the probe, then built by
// the pure builder (ProbeAndBuild); what a command writes is reserved for the builds after it, as
// a run reserves it, and cmdSet keeps the last command made, as the window keeps it.
class CRunBuilds {
 public:
  CRunBuilds(const JobSettings& settings, std::wstring& cmdSet, ProbeFunction probe = ProbeMediaFile)
      : settings_(settings), cmdSet_(cmdSet), probe_(std::move(probe)) {}

  // True when a command was made; result, when given, receives it. Otherwise cmdSet and result
  // keep their text and LastRefusal says why.
  bool BuildCommand(const std::wstring& input, std::wstring* result, bool pause) {
    last_ = ProbeAndBuild(settings_, input, probe_, reserved_, pause);
    if (!last_.Made()) return false;
    reserved_.Reserve(last_.output);
    cmdSet_ = last_.text;
    if (result != nullptr) *result = last_.text;
    return true;
  }
  const std::wstring& LastOutputPath() const { return last_.output; }
  const CRefusal& LastRefusal() const { return last_.refusal; }

 private:
  const JobSettings& settings_;
  std::wstring& cmdSet_;
  ProbeFunction probe_;
  COutputReservations reserved_;
  CBuiltCommand last_;
};

// Replaces every "<dir>" with dir.
inline std::wstring Expand(std::wstring text, const std::wstring& dir) {
  const std::wstring mark = L"<dir>";
  for (size_t at = text.find(mark); at != std::wstring::npos; at = text.find(mark, at + dir.size())) {
    text.replace(at, mark.size(), dir);
  }
  return text;
}
