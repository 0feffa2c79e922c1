#include "jobs/merge_commands.h"

#include "base/command_quoting.h"
#include "base/message.h"
#include "base/trace.h"
#include "jobs/media_classification.h"
#include "jobs/output_naming.h"

namespace {
const wchar_t kRemuxFormat[] = L"FFMpeg.exe -y -i \"%s\" -c copy  -f mpegts \"%s\"";
const wchar_t kMergeVideoAudioFormat[] =
    L"ffmpeg -i \"%s\" -i \"%s\" -map 0 -map 1 -c copy  -strict -2 \"%s\" & pause";

const wchar_t kNeedTwoFiles[] = L"합치기위해 최소 두개의 파일이 필요합니다.";
const wchar_t kNeedVideoAndAudio[] = L"영상과 소리 파일이 1개씩 필요합니다.";
const wchar_t kMediaInfoError[] = L"미디어 정보 에러.";

// The first of the first two listed files that passes the test; later files are never looked at.
const std::wstring* FindAmongFirstTwo(const std::vector<std::wstring>& files,
                                      bool (*test)(const std::wstring&)) {
  for (size_t i = 0; i < 2 && i < files.size(); ++i) {
    if (test(files[i])) return &files[i];
  }
  return nullptr;
}
}  // namespace

std::wstring MakeRemuxCommand(const std::wstring& inputPath, const std::wstring& outputPath) {
  return Sprintf(kRemuxFormat, EscapeForQuotes(inputPath), EscapeForQuotes(outputPath));
}

bool BuildMergeVideoAudioCommand(const JobSettings& settings, std::wstring& cmdSet, std::wstring* result,
                                 const ProbeFunction& probe, std::wstring* outputPath) {
  DebugLog(L"합치기 - 영상 + 소리");
  if (settings.files.size() < 2) {
    ShowMessage(kNeedTwoFiles);
    return true;
  }
  const std::wstring* video = FindAmongFirstTwo(settings.files, IsVideoFile);
  const std::wstring* audio = FindAmongFirstTwo(settings.files, IsAudioFile);
  if (video == nullptr || audio == nullptr) {
    ShowMessage(kNeedVideoAndAudio);
    return true;
  }
  std::wstring output;
  if (!GetOutputFileName(settings, *video, output)) output.clear();

  MediaDesc media;
  ResetMediaDesc(media);
  if (!probe(*video, media)) {
    ShowMessage(kMediaInfoError);
    return true;
  }

  cmdSet = Sprintf(kMergeVideoAudioFormat, EscapeForQuotes(*video), EscapeForQuotes(*audio),
                   EscapeForQuotes(output));
  if (result != nullptr) *result = cmdSet;
  if (outputPath != nullptr) *outputPath = output;
  return true;
}
