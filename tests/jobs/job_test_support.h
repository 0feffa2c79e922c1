#pragma once
// Helpers of the job tests: media descriptions made by hand for the injected probe, and
// expected texts written with a "<dir>" placeholder for the test's own folder.
#include <string>
#include <vector>

#include "jobs/command_builder.h"
#include "probe/media_desc.h"

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

// Replaces every "<dir>" with dir.
inline std::wstring Expand(std::wstring text, const std::wstring& dir) {
  const std::wstring mark = L"<dir>";
  for (size_t at = text.find(mark); at != std::wstring::npos; at = text.find(mark, at + dir.size())) {
    text.replace(at, mark.size(), dir);
  }
  return text;
}
