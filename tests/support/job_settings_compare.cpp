#include "support/job_settings_compare.h"

#include <gtest/gtest.h>

void ExpectSameSettings(const JobSettings& a, const JobSettings& b) {
  EXPECT_EQ(a.files, b.files);
  EXPECT_EQ(a.outputCodec, b.outputCodec);
  EXPECT_EQ(a.useGpu, b.useGpu);
  EXPECT_EQ(a.gpuCompatMode, b.gpuCompatMode);
  EXPECT_EQ(a.useVideoBitRate, b.useVideoBitRate);
  EXPECT_EQ(a.videoBitRate, b.videoBitRate);
  EXPECT_EQ(a.useQuantizer, b.useQuantizer);
  EXPECT_EQ(a.quantizer, b.quantizer);
  EXPECT_EQ(a.copyVideo, b.copyVideo);
  EXPECT_EQ(a.containerMp4, b.containerMp4);
  EXPECT_EQ(a.containerMkv, b.containerMkv);
  EXPECT_EQ(a.scale1080, b.scale1080);
  EXPECT_EQ(a.pixelFormatCompat, b.pixelFormatCompat);
  EXPECT_EQ(a.selectedAudioTracks, b.selectedAudioTracks);
  EXPECT_EQ(a.allAudioTracks, b.allAudioTracks);
  EXPECT_EQ(a.copyAudio, b.copyAudio);
  EXPECT_EQ(a.audioBitRate, b.audioBitRate);
  EXPECT_EQ(a.downmixStereo, b.downmixStereo);
  EXPECT_EQ(a.forceAudioEncode, b.forceAudioEncode);
  EXPECT_EQ(a.audioAac, b.audioAac);
  EXPECT_EQ(a.audioMp3, b.audioMp3);
  EXPECT_EQ(a.applyRange, b.applyRange);
  EXPECT_EQ(a.rangeCopy, b.rangeCopy);
  EXPECT_EQ(a.rangeAccurate, b.rangeAccurate);
  EXPECT_EQ(a.rangeStart.hours, b.rangeStart.hours);
  EXPECT_EQ(a.rangeStart.minutes, b.rangeStart.minutes);
  EXPECT_EQ(a.rangeStart.seconds, b.rangeStart.seconds);
  EXPECT_EQ(a.rangeEnd.hours, b.rangeEnd.hours);
  EXPECT_EQ(a.rangeEnd.minutes, b.rangeEnd.minutes);
  EXPECT_EQ(a.rangeEnd.seconds, b.rangeEnd.seconds);
  EXPECT_EQ(a.jobKind, b.jobKind);
  EXPECT_EQ(a.outputFolder, b.outputFolder);
  EXPECT_EQ(a.keepSourceDates, b.keepSourceDates);
  EXPECT_EQ(a.joinAnyway, b.joinAnyway);
}
