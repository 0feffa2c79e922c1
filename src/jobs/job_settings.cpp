#include "jobs/job_settings.h"

namespace {
uint32_t SecondCount(const RangeTime& time) {
  return static_cast<uint32_t>(time.hours) * 3600u + static_cast<uint32_t>(time.minutes) * 60u +
         static_cast<uint32_t>(time.seconds);
}
}  // namespace

uint32_t GetRangeSeconds(const RangeTime* start, const RangeTime* end) {
  if (start == nullptr || end == nullptr) return 0;
  uint32_t from = SecondCount(*start);
  uint32_t to = SecondCount(*end);
  // An end before the start still gives a positive length; the seek always uses the start.
  return from > to ? from - to : to - from;
}

int32_t OutputKindOf(const JobSettings& settings) {
  switch (settings.outputCodec) {
    case OUT_H264:
    case OUT_H265:
    case OUT_GIF:
      return OUTPUT_VIDEO;
    case OUT_WAV:
    case OUT_MP3:
      return OUTPUT_AUDIO;
    default:
      return settings.outputKind;
  }
}
