// The dialog's controls gathered into the settings, over a fake of the controls.
#include <gtest/gtest.h>

#include <map>

#include "jobs/job_settings.h"
#include "ui/control_ids.h"
#include "ui/job_controls.h"
#include "support/job_settings_compare.h"

namespace {

// The dialog's controls as plain maps, initialised as the dialog starts.
class FakeJobControls : public IJobControls {
 public:
  FakeJobControls() {
    for (int id : {IDC_GPU, IDC_USE_VIDEO_BITRATE, IDC_ALL_AUDIO_TRACKS, IDC_AUDIO_AAC, IDC_RANGE_COPY}) checks[id] = true;
    texts[IDC_VIDEO_BITRATE] = L"3000";
    texts[IDC_QUANTIZER] = L"28";
    texts[IDC_AUDIO_BITRATE] = L"128";
    for (int id : {IDC_RANGE_START_H, IDC_RANGE_START_M, IDC_RANGE_START_S, IDC_RANGE_END_H, IDC_RANGE_END_M, IDC_RANGE_END_S})
      texts[id] = L"0";
    rows[IDC_OUTPUT_CODEC_LIST] = {{L"H.264(AVC)", false}, {L"H.265(HEVC)", true}, {L"GIF", false}, {L"WAV", false}, {L"MP3", false}};
  }
  bool IsChecked(int id) const override { return checks.count(id) != 0 && checks.at(id); }
  std::wstring GetText(int id) const override { return texts.count(id) != 0 ? texts.at(id) : std::wstring(); }
  int RowCount(int listId) const override { return rows.count(listId) != 0 ? static_cast<int>(rows.at(listId).size()) : 0; }
  std::wstring RowText(int listId, int row) const override { return rows.at(listId).at(static_cast<size_t>(row)).first; }
  bool IsRowChecked(int listId, int row) const override { return rows.at(listId).at(static_cast<size_t>(row)).second; }

  std::map<int, bool> checks;
  std::map<int, std::wstring> texts;
  std::map<int, std::vector<std::pair<std::wstring, bool>>> rows;
};

TEST(ParseDialogInt, SignedDecimalElseZero) {
  const std::pair<std::wstring, int> cases[] = {
      {L"3000", 3000}, {L"-5", -5},    {L"+7", 7},           {L" 12", 12},           {L"12 ", 12},
      {L"", 0},        {L"abc", 0},    {L"12abc", 0},        {L"-", 0},              {L"1 2", 0},
      {L"2147483647", 2147483647}, {L"-2147483648", -2147483647 - 1}, {L"2147483648", 0}, {L"99999999999999999999", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDialogInt(c.first), c.second) << c.first;
}

TEST(GetCheckedItems, BothForms) {
  FakeJobControls controls;
  std::vector<uint32_t> rows = {7, 8};
  // No rows at all.
  EXPECT_EQ(GetCheckedItems(controls, IDC_AUDIO_STREAM_LIST), -1);
  EXPECT_EQ(GetCheckedItems(controls, IDC_AUDIO_STREAM_LIST, &rows), -1);
  EXPECT_TRUE(rows.empty());
  // Rows, none checked.
  controls.rows[IDC_AUDIO_STREAM_LIST] = {{L"a", false}, {L"b", false}, {L"c", false}, {L"d", false}};
  rows = {1};
  EXPECT_EQ(GetCheckedItems(controls, IDC_AUDIO_STREAM_LIST), -1);
  EXPECT_EQ(GetCheckedItems(controls, IDC_AUDIO_STREAM_LIST, &rows), -1);
  EXPECT_TRUE(rows.empty());
  // Rows 1 and 3 checked: first 1-based 2; last 1-based 4 with 0-based rows 1 and 3.
  controls.rows[IDC_AUDIO_STREAM_LIST][1].second = true;
  controls.rows[IDC_AUDIO_STREAM_LIST][3].second = true;
  EXPECT_EQ(GetCheckedItems(controls, IDC_AUDIO_STREAM_LIST), 2);
  EXPECT_EQ(GetCheckedItems(controls, IDC_AUDIO_STREAM_LIST, &rows), 4);
  EXPECT_EQ(rows, (std::vector<uint32_t>{1, 3}));
}

TEST(GatherJobSettings, DialogStartGivesTheRecordDefaults) {
  FakeJobControls controls;
  JobSettings gathered;
  gathered.outputCodec = OUT_NONE;
  gathered.audioBitRate = 1;
  gathered.allAudioTracks = false;
  GatherJobSettings(controls, -1, gathered);
  ExpectSameSettings(gathered, JobSettings());
  EXPECT_EQ(gathered.currentFile, L"입력.mp4");
  EXPECT_TRUE(gathered.files.empty());
}

TEST(GatherJobSettings, CurrentFileAndFiles) {
  FakeJobControls controls;
  // A dropped path may have 1023 characters; cut short, it would name another file.
  const std::wstring longPath = L"C:\\" + std::wstring(1011, L'x') + L"\\clip.mp4";
  controls.rows[IDC_FILE_LIST] = {{L"C:\\v\\a.mp4", false}, {L"C:\\v\\b.mkv", false}, {longPath, false}};
  JobSettings settings;
  settings.files = {L"stale"};
  GatherJobSettings(controls, 1, settings);
  EXPECT_EQ(settings.currentFile, L"C:\\v\\b.mkv");
  ASSERT_EQ(settings.files.size(), 3u);
  EXPECT_EQ(settings.files[0], L"C:\\v\\a.mp4");
  EXPECT_EQ(settings.files[2], longPath);
  GatherJobSettings(controls, 2, settings);
  EXPECT_EQ(settings.currentFile, longPath);
  // The clicked row was removed: its index is past the last row now.
  controls.rows[IDC_FILE_LIST].pop_back();
  GatherJobSettings(controls, 2, settings);
  EXPECT_EQ(settings.currentFile, L"입력.mp4");
  EXPECT_EQ(settings.files.size(), 2u);
  GatherJobSettings(controls, -1, settings);
  EXPECT_EQ(settings.currentFile, L"입력.mp4");
}

TEST(GatherJobSettings, ControlsReachTheirFields) {
  FakeJobControls controls;
  controls.rows[IDC_OUTPUT_CODEC_LIST][1].second = false;
  controls.rows[IDC_OUTPUT_CODEC_LIST][4].second = true;
  for (int id : {IDC_GPU_COMPAT, IDC_USE_QUANTIZER, IDC_COPY_VIDEO, IDC_CONTAINER_MP4, IDC_CONTAINER_MKV, IDC_SCALE_1080,
                 IDC_PIXEL_FORMAT_COMPAT, IDC_DOWNMIX, IDC_AUDIO_MP3, IDC_FORCE_AUDIO_ENCODE})
    controls.checks[id] = true;
  controls.checks[IDC_USE_VIDEO_BITRATE] = false;
  controls.checks[IDC_ALL_AUDIO_TRACKS] = false;
  controls.checks[IDC_AUDIO_AAC] = false;
  controls.texts[IDC_VIDEO_BITRATE] = L"not a number";
  controls.texts[IDC_QUANTIZER] = L"-5";
  controls.texts[IDC_AUDIO_BITRATE] = L"2";
  controls.rows[IDC_AUDIO_STREAM_LIST] = {{L"192k,CH=2,,AAC", false}, {L"448k,CH=6,KOREAN,AC3", true}, {L"", true}};
  JobSettings settings;
  settings.jobKind = JOB_MERGE_FILES;
  settings.outputKind = OUTPUT_AUDIO;
  settings.firstFileOfBatch = false;
  GatherJobSettings(controls, -1, settings);
  EXPECT_EQ(settings.outputCodec, OUT_MP3);
  EXPECT_TRUE(settings.useGpu);
  EXPECT_TRUE(settings.gpuCompatMode);
  EXPECT_FALSE(settings.useVideoBitRate);
  EXPECT_EQ(settings.videoBitRate, 0);
  EXPECT_TRUE(settings.useQuantizer);
  EXPECT_EQ(settings.quantizer, -5);
  EXPECT_TRUE(settings.copyVideo);
  EXPECT_TRUE(settings.containerMp4);  // both kept; the builder lets MKV win
  EXPECT_TRUE(settings.containerMkv);
  EXPECT_TRUE(settings.scale1080);
  EXPECT_TRUE(settings.pixelFormatCompat);
  EXPECT_EQ(settings.selectedAudioTracks, (std::vector<uint32_t>{1, 2}));
  EXPECT_FALSE(settings.allAudioTracks);
  EXPECT_EQ(settings.audioBitRate, 2);
  EXPECT_TRUE(settings.downmixStereo);
  EXPECT_FALSE(settings.audioAac);
  EXPECT_TRUE(settings.audioMp3);
  EXPECT_TRUE(settings.forceAudioEncode);
  // Not gathered: set by the job-kind radios, the builder and the batch worker.
  EXPECT_EQ(settings.jobKind, JOB_MERGE_FILES);
  EXPECT_EQ(settings.outputKind, OUTPUT_AUDIO);
  EXPECT_FALSE(settings.firstFileOfBatch);
  // No output row checked.
  controls.rows[IDC_OUTPUT_CODEC_LIST][4].second = false;
  GatherJobSettings(controls, -1, settings);
  EXPECT_EQ(settings.outputCodec, OUT_NONE);
}

TEST(GatherJobSettings, CompatibilityModeOnlyWithGpu) {
  FakeJobControls controls;
  controls.checks[IDC_GPU] = false;
  controls.checks[IDC_GPU_COMPAT] = true;
  JobSettings settings;
  settings.gpuCompatMode = true;
  GatherJobSettings(controls, -1, settings);
  EXPECT_FALSE(settings.useGpu);
  EXPECT_FALSE(settings.gpuCompatMode);
}

TEST(GatherJobSettings, AudioRateKeptWhileAudioIsCopied) {
  FakeJobControls controls;
  JobSettings settings;
  controls.texts[IDC_AUDIO_BITRATE] = L"192";
  GatherJobSettings(controls, -1, settings);
  EXPECT_EQ(settings.audioBitRate, 192);
  controls.checks[IDC_AUDIO_COPY] = true;
  controls.texts[IDC_AUDIO_BITRATE] = L"64";
  GatherJobSettings(controls, -1, settings);
  EXPECT_TRUE(settings.copyAudio);
  EXPECT_EQ(settings.audioBitRate, 192);
  controls.checks[IDC_AUDIO_COPY] = false;
  GatherJobSettings(controls, -1, settings);
  EXPECT_EQ(settings.audioBitRate, 64);
}

TEST(GatherJobSettings, RangeFields) {
  FakeJobControls controls;
  controls.texts[IDC_RANGE_START_H] = L"1";
  controls.texts[IDC_RANGE_START_M] = L"70";
  controls.texts[IDC_RANGE_START_S] = L"5";
  controls.texts[IDC_RANGE_END_H] = L"70000";
  controls.texts[IDC_RANGE_END_M] = L"-1";
  controls.texts[IDC_RANGE_END_S] = L"65536";
  controls.checks[IDC_RANGE_ACCURATE] = true;
  JobSettings settings;
  const RangeTime zero;

  // Not applied: range options and times are all cleared whatever the boxes hold.
  settings.rangeCopy = settings.rangeAccurate = true;
  settings.rangeStart = {9, 9, 9};
  GatherJobSettings(controls, -1, settings);
  EXPECT_FALSE(settings.applyRange);
  EXPECT_FALSE(settings.rangeCopy);
  EXPECT_FALSE(settings.rangeAccurate);
  EXPECT_EQ(GetRangeSeconds(&settings.rangeStart, &zero), 0u);
  EXPECT_EQ(GetRangeSeconds(&settings.rangeEnd, &zero), 0u);

  controls.checks[IDC_RANGE_APPLY] = true;
  GatherJobSettings(controls, -1, settings);
  EXPECT_TRUE(settings.applyRange);
  EXPECT_TRUE(settings.rangeCopy);
  EXPECT_TRUE(settings.rangeAccurate);
  EXPECT_EQ(settings.rangeStart.hours, 1);
  EXPECT_EQ(settings.rangeStart.minutes, 70);
  EXPECT_EQ(settings.rangeStart.seconds, 5);
  EXPECT_EQ(GetRangeSeconds(&settings.rangeStart, &zero), 7805u);
  EXPECT_EQ(settings.rangeEnd.hours, 4464);     // 70000 modulo 65536
  EXPECT_EQ(settings.rangeEnd.minutes, 65535);  // -1 kept in 16 bits
  EXPECT_EQ(settings.rangeEnd.seconds, 0);
}

}  // namespace
