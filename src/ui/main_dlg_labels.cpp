// The main window's labels in the two interface languages. A control not listed keeps its
// template text in both ("파일 추가", "2채널 전환", "1080p", "픽셀포맷호환", "강제 인코딩",
// "AAC", "MP4", "MP3", "MKV", "?").
#include "install/installer.h"
#include "ui/control_ids.h"
#include "ui/main_dlg.h"

namespace {

struct CLabel {
  int id;
  const wchar_t* korean;
  const wchar_t* english;
};

// Applied in this order.
constexpr CLabel kLabels[] = {
    {IDC_HINT, L"파일 리스트 (파일을 아래에 드래그 해주세요)", L"Drag File Below"},
    {IDC_FILE_REMOVE, L"파일 제거", L"File Remove"},
    {IDC_MEDIA_INFO, L"비디오 정보", L"Media Info"},
    {IDC_VIDEO_GROUP, L"영상", L"Video"},
    {IDC_INPUT_CODEC_LABEL, L"입력 코덱", L"Input Codec"},
    {IDC_OUTPUT_CODEC_LABEL, L"출력 코덱", L"Output Codec"},
    {IDC_GPU, L"GPU 가속", L"GPU Accelerate"},
    {IDC_GPU_COMPAT, L"GPU 가속 호환모드", L"GPU Accel Comp"},
    {IDC_COPY_VIDEO, L"복사", L"Copy"},
    {IDC_QUALITY_GROUP, L"영상 품질(용량)", L"Video Quality"},
    {IDC_USE_VIDEO_BITRATE, L"품질", L"Sample Rate"},
    {IDC_USE_QUANTIZER, L"양자화", L"Quantization"},
    {IDC_AUDIO_GROUP, L"소리", L"Audio"},
    {IDC_STREAM_LABEL, L"스트림", L"Stream"},
    {IDC_ALL_AUDIO_TRACKS, L"전체 오디오 트랙", L"All Audio Track"},
    {IDC_AUDIO_COPY, L"오디오 복사(인코딩 없음)", L"Audio Copy(No Encoding)"},
    {IDC_AUDIO_QUALITY, L"음질", L"Quality"},
    {IDC_RANGE_GROUP, L"구간", L"Range"},
    {IDC_RANGE_APPLY, L"구간 설정 적용", L"Range Apply"},
    {IDC_RANGE_COPY, L"복사(인코딩 안함)", L"Copy(No Encoding)"},
    {IDC_RANGE_ACCURATE, L"정확도 향상(호환성 떨어짐)", L"More Accuracy(Less Comp)"},
    {IDC_JOB_GROUP, L"작업 선택", L"Process Select"},
    {IDC_JOB_VIDEO_EXTRACT, L"비디오만 추출", L"Video Extract"},
    {IDC_JOB_AUDIO_EXTRACT, L"오디오만 추출", L"Audio Extract"},
    {IDC_JOB_MERGE_FILES, L"합치기 (동영상+동영상+...)", L"Merge"},
    {IDC_JOB_MERGE_VIDEO_AUDIO, L"합치기 (영상+소리)", L"Merge (Video+Audio)"},
    {IDC_JOB_CONVERT, L"변환(기본)", L"Convert"},
    {IDC_START, L"작업 실행", L"Start Process"},
    {IDC_COMMAND_LABEL, L"FFmpeg 명령행", L"FFmpeg Command Line"},
    {IDC_HELP_LABEL, L"도움말 :", L"Help :"},
};

}  // namespace

std::wstring CMainDlg::LabelText(int id) const {
  bool korean = uiLanguage == kUiLanguageKorean;
  for (const CLabel& label : kLabels) {
    if (label.id == id) return korean ? label.korean : label.english;
  }
  return std::wstring();
}

void CMainDlg::ApplyLanguageLabels() {
  bool korean = uiLanguage == kUiLanguageKorean;
  for (const CLabel& label : kLabels) SetItemText(label.id, korean ? label.korean : label.english);
}
