// The option controls kept between runs in the real registry of the test prefix: changed,
// closed and opened again they come back; the files, the range and the audio rows do not; a
// value that is missing, damaged or out of range leaves its control at the default.
#include <gtest/gtest.h>

#include <vector>

#include "ui/control_ids.h"
#include "ui/main_window_fixture.h"

namespace {

const int kChecks[] = {IDC_GPU,           IDC_GPU_COMPAT,         IDC_USE_VIDEO_BITRATE, IDC_USE_QUANTIZER,
                       IDC_COPY_VIDEO,    IDC_CONTAINER_MP4,      IDC_CONTAINER_MKV,     IDC_SCALE_1080,
                       IDC_PIXEL_FORMAT_COMPAT, IDC_ALL_AUDIO_TRACKS, IDC_AUDIO_COPY, IDC_AUDIO_QUALITY,
                       IDC_DOWNMIX,       IDC_FORCE_AUDIO_ENCODE, IDC_AUDIO_AAC,         IDC_AUDIO_MP3,
                       IDC_RANGE_APPLY,   IDC_RANGE_COPY,         IDC_RANGE_ACCURATE};
const int kTexts[] = {IDC_VIDEO_BITRATE, IDC_QUANTIZER, IDC_AUDIO_BITRATE, IDC_RANGE_START_M, IDC_RANGE_END_S};
const int kRadios[] = {IDC_JOB_VIDEO_EXTRACT, IDC_JOB_AUDIO_EXTRACT, IDC_JOB_MERGE_FILES, IDC_JOB_CONVERT,
                       IDC_JOB_MERGE_VIDEO_AUDIO};

// Everything a user sees of the options, enabled states included.
struct COptionState {
  std::vector<bool> checks, enabled, radios, outputRows;
  std::vector<std::wstring> texts;
  int32_t jobKind = 0;
  bool operator==(const COptionState& o) const {
    return checks == o.checks && enabled == o.enabled && radios == o.radios && outputRows == o.outputRows &&
           texts == o.texts && jobKind == o.jobKind;
  }
};

class KeptOptionsTest : public MainWindowFixture {
 protected:
  void Reopen() {
    dialog.reset();
    PumpMessages();
    dialog = std::make_unique<CMainDlg>();
    ASSERT_TRUE(dialog->Create(nullptr));
    ShowWindow(dialog->Hwnd(), SW_SHOW);
    PumpMessages();
  }
  void Type(int id, const wchar_t* text) {
    SetWindowTextW(Item(id), text);
    PumpMessages();
  }
  COptionState State() const {
    COptionState state;
    for (int id : kChecks) {
      state.checks.push_back(Checked(id));
      state.enabled.push_back(IsWindowEnabled(Item(id)) != FALSE);
    }
    for (int id : kTexts) {
      state.texts.push_back(Text(id));
      state.enabled.push_back(IsWindowEnabled(Item(id)) != FALSE);
    }
    for (int id : kRadios) state.radios.push_back(Checked(id));
    state.outputRows = CheckedRows(IDC_OUTPUT_CODEC_LIST);
    state.jobKind = dialog->jobSettings.jobKind;
    return state;
  }
};

TEST_F(KeptOptionsTest, ChangedOptionsComeBackAfterTheWindowClosed) {
  const COptionState defaults = State();
  Click(IDC_GPU);
  Click(IDC_USE_QUANTIZER);
  Type(IDC_QUANTIZER, L"33");
  Type(IDC_VIDEO_BITRATE, L"2500");
  Click(IDC_AUDIO_COPY);
  Click(IDC_CONTAINER_MKV);
  Click(IDC_AUDIO_MP3);
  ASSERT_TRUE(ClickRow(IDC_OUTPUT_CODEC_LIST, 0));
  Click(IDC_JOB_VIDEO_EXTRACT);
  const COptionState changed = State();
  ASSERT_FALSE(changed == defaults);
  // Not kept: the files, the range.
  DropFiles(dialog->Hwnd(), {L"C:\\nowhere\\clip.mp4"});
  Click(IDC_RANGE_APPLY);
  Type(IDC_RANGE_START_M, L"7");

  Reopen();
  EXPECT_TRUE(State() == changed);
  EXPECT_EQ(JOB_VIDEO_EXTRACT, dialog->jobSettings.jobKind);
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_GPU_COMPAT)));   // follows the unticked GPU box
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_AUDIO_BITRATE)));  // follows the audio copy box
  EXPECT_EQ(0, Rows(IDC_FILE_LIST));
  EXPECT_FALSE(Checked(IDC_RANGE_APPLY));
  EXPECT_EQ(L"0", Text(IDC_RANGE_START_M));

  // An empty rate is no value: the default comes back, not an older one.
  Type(IDC_VIDEO_BITRATE, L"");
  Reopen();
  EXPECT_EQ(L"3000", Text(IDC_VIDEO_BITRATE));
}

TEST_F(KeptOptionsTest, AMissingDamagedOrOutOfRangeValueKeepsItsDefault) {
  const COptionState defaults = State();
  StoreValue(L"opt_gpu", 7);
  StoreValue(L"opt_quantizer", 99);
  StoreValue(L"opt_video_bitrate", 0);
  StoreText(L"opt_audio_bitrate", L"lots");
  StoreValue(L"opt_output_codec", 9);
  StoreValue(L"opt_job", 0);
  StoreText(L"opt_mkv", L"yes");
  Reopen();
  EXPECT_TRUE(State() == defaults);
  // A sound value among them is taken.
  dialog.reset();
  PumpMessages();
  ClearStoredPosition();
  StoreValue(L"opt_quantizer", 40);
  StoreValue(L"opt_job", JOB_MERGE_FILES);
  Reopen();
  EXPECT_EQ(L"40", Text(IDC_QUANTIZER));
  EXPECT_TRUE(Checked(IDC_JOB_MERGE_FILES));
  EXPECT_FALSE(Checked(IDC_JOB_CONVERT));
  EXPECT_EQ(JOB_MERGE_FILES, dialog->jobSettings.jobKind);
}

}  // namespace
