// A preset's text: every kept option comes back as it was saved, and a damaged line is named
// and passed over while the rest still applies.
#include "jobs/job_preset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/job_settings_compare.h"

namespace {

TEST(JobPreset, EveryKeptOptionComesBackAndNothingElse) {
  JobSettings saved;
  saved.outputCodec = OUT_MP3;
  saved.useGpu = false;
  saved.gpuCompatMode = true;
  saved.videoBitRate = 777;
  saved.useQuantizer = true;
  saved.quantizer = 0;
  saved.containerMkv = true;
  saved.copyAudio = true;
  saved.audioBitRate = 64;
  saved.audioMp3 = true;
  saved.keepSourceDates = true;
  saved.jobKind = JOB_MERGE_FILES;
  // A folder with what the text itself uses: quotes, "%", "=", a line break, Hangul.
  saved.outputFolder = L"C:\\v \"x\"\\100%25=\n\\출력";
  // Not kept: the files, the range, the tracks.
  saved.files = {L"C:\\v\\a.mp4"};
  saved.applyRange = true;
  saved.rangeEnd.seconds = 9;
  saved.allAudioTracks = false;

  JobSettings read;
  std::vector<std::wstring> damaged{L"left from before"};
  ASSERT_TRUE(ApplyPresetText(PresetText(saved), read, damaged));
  EXPECT_TRUE(damaged.empty());
  JobSettings expected = saved;
  expected.files.clear();
  expected.applyRange = false;
  expected.rangeEnd = RangeTime();
  ExpectSameSettings(expected, read);
}

struct CDamageRow {
  const wchar_t* lines;  // after the first line
  std::vector<std::wstring> damaged;
  int32_t quantizer;  // the sound value among them, taken all the same
};

TEST(JobPreset, ADamagedLineIsNamedAndPassedOver) {
  const CDamageRow rows[] = {
      {L"opt_quantizer=40\nopt_gpu=2\n", {L"opt_gpu"}, 40},
      {L"opt_quantizer=40\nopt_mkv=yes\r\nopt_video_bitrate=0\n", {L"opt_mkv", L"opt_video_bitrate"}, 40},
      {L"opt_quantizer=99\nopt_output_folder=C:\\v\n", {L"opt_quantizer", L"opt_output_folder"}, 28},
      {L"opt_output_folder=\"C:\\%zz\"\nopt_quantizer=-1\n", {L"opt_output_folder", L"opt_quantizer"}, 28},
      {L"\n\nno equals sign at all in this line, which is rather long\nopt_quantizer=7",
       {L"no equals sign at all in this line, whic..."},
       7},
      {L"opt_from_a_later_day=1\nOPT_QUANTIZER=12\n", {L"opt_from_a_later_day"}, 12},
  };
  for (const CDamageRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.lines);
    JobSettings settings;
    std::vector<std::wstring> damaged;
    ASSERT_TRUE(ApplyPresetText(std::wstring(L"kestrune preset 1\n") + row.lines, settings, damaged));
    EXPECT_EQ(row.damaged, damaged);
    EXPECT_EQ(row.quantizer, settings.quantizer);
    EXPECT_TRUE(settings.useGpu);
    EXPECT_FALSE(settings.containerMkv);
  }
}

TEST(JobPreset, ALaterVersionsNamesPassQuietlyAndNoPresetAppliesNothing) {
  JobSettings settings;
  std::vector<std::wstring> damaged;
  ASSERT_TRUE(ApplyPresetText(L"kestrune preset 2\nopt_new=1\nopt_mp4=1\n", settings, damaged));
  EXPECT_TRUE(damaged.empty());
  EXPECT_TRUE(settings.containerMp4);

  for (const wchar_t* text :
       {L"", L"opt_mp4=0\n", L"kestrune preset\nopt_mp4=0", L"kestrune preset 0\nopt_mp4=0",
        L"kestrune preset x\nopt_mp4=0", L"Kestrune Preset 1\nopt_mp4=0"}) {
    EXPECT_FALSE(ApplyPresetText(text, settings, damaged)) << text;
    EXPECT_TRUE(settings.containerMp4) << text;
  }
}

}  // namespace
