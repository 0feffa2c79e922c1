#include "jobs/container_codecs.h"

#include <gtest/gtest.h>

#include "job_test_support.h"

namespace {

AudioTrackDesc Audio(int32_t codec, int32_t sampleRate = 48000, int32_t bitDepth = 16,
                     int32_t sampleFormat = 0) {
  return MediaBuilder().Track(codec, 2, 128).Samples(sampleRate, bitDepth, sampleFormat).Get().audio[0];
}

TEST(ContainerCodecs, ExtensionsName) {
  const struct {
    const wchar_t* path;
    int32_t container;
  } cases[] = {
      {L"/v/a_(02).mp4", CONTAINER_MP4}, {L"a.MKV", CONTAINER_MATROSKA}, {L"a.MKA", CONTAINER_MATROSKA},
      {L"a.Wav", CONTAINER_WAV},         {L"a.AAC", CONTAINER_ADTS},     {L"a.WMA", CONTAINER_ASF},
      {L"a.avi", CONTAINER_UNKNOWN},     {L"a.webm", CONTAINER_UNKNOWN}, {L"a.gif", CONTAINER_UNKNOWN},
      {L"no-dot", CONTAINER_UNKNOWN},    {L"", CONTAINER_UNKNOWN},       {L"a.", CONTAINER_UNKNOWN},
  };
  for (const auto& c : cases) EXPECT_EQ(ContainerOfPath(c.path), c.container) << c.path;
}

TEST(ContainerCodecs, WhatEachContainerHolds) {
  const struct {
    const char* what;
    int32_t container;
    AudioTrackDesc track;
    bool held;
  } audio[] = {
      {"AAC in MP4", CONTAINER_MP4, Audio(ACODEC_AAC), true},
      {"MP3 of 16 kHz in MP4", CONTAINER_MP4, Audio(ACODEC_MP3, 16000), true},
      {"MP3 of 11 kHz in MP4", CONTAINER_MP4, Audio(ACODEC_MP3, 11025), false},
      {"MP3 of an unknown rate in MP4", CONTAINER_MP4, Audio(ACODEC_MP3, 0), false},
      {"Vorbis in MP4", CONTAINER_MP4, Audio(ACODEC_OGG), false},
      {"an unknown codec in MP4", CONTAINER_MP4, Audio(ACODEC_NONE), false},
      {"an unknown codec in Matroska", CONTAINER_MATROSKA, Audio(ACODEC_NONE), true},
      {"big-endian PCM in Matroska", CONTAINER_MATROSKA, Audio(ACODEC_PCM, 48000, 24, SAMPLE_BIG_ENDIAN),
       true},
      {"big-endian float PCM in Matroska", CONTAINER_MATROSKA,
       Audio(ACODEC_PCM, 48000, 32, SAMPLE_BIG_ENDIAN | SAMPLE_FLOAT), false},
      {"little-endian float PCM in a WAV", CONTAINER_WAV, Audio(ACODEC_PCM, 48000, 32, SAMPLE_FLOAT), true},
      {"big-endian PCM in a WAV", CONTAINER_WAV, Audio(ACODEC_PCM, 48000, 16, SAMPLE_BIG_ENDIAN), false},
      {"unsigned 8-bit PCM in a WAV", CONTAINER_WAV, Audio(ACODEC_PCM, 8000, 8, SAMPLE_UNSIGNED), true},
      {"AAC in a WAV", CONTAINER_WAV, Audio(ACODEC_AAC), false},
      {"MP2 in an MP3", CONTAINER_MP3, Audio(ACODEC_MP2), false},
      {"anything in a file of unknown kind", CONTAINER_UNKNOWN, Audio(ACODEC_NONE), true},
  };
  for (const auto& c : audio) EXPECT_EQ(ContainerHoldsAudio(c.container, c.track), c.held) << c.what;

  const struct {
    int32_t container;
    int32_t codec;
    bool held;
  } video[] = {
      {CONTAINER_MP4, VCODEC_H265, true},      {CONTAINER_MP4, VCODEC_VP9, true},
      {CONTAINER_MP4, VCODEC_VP8, false},      {CONTAINER_MP4, VCODEC_WMV, false},
      {CONTAINER_MP4, VCODEC_VC1, false},      {CONTAINER_MP4, VCODEC_MSMPEG4, false},
      {CONTAINER_MP4, VCODEC_NONE, false},     {CONTAINER_MATROSKA, VCODEC_VP8, true},
      {CONTAINER_MATROSKA, VCODEC_NONE, true}, {CONTAINER_UNKNOWN, VCODEC_WMV, true},
  };
  for (const auto& c : video)
    EXPECT_EQ(ContainerHoldsVideo(c.container, c.codec), c.held) << c.container << ", " << c.codec;
}

}  // namespace
