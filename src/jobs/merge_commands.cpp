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

const wchar_t kJoinStart[] = L"ffmpeg -y -i \"concat:";
const wchar_t kJoinFormat[] = L"%s -c copy  \"%s\" & pause";

const wchar_t kEmptyEntry[] =
    L"합칠 파일 목록에 빈 항목이 있습니다 (the list of files to join has an empty entry).";
const wchar_t kNoExtension[] =
    L"확장자가 없는 파일은 합칠 수 없습니다 (a file to join needs an extension): %s";
const wchar_t kJoinedExtension[] =
    L"합친 파일에 이 확장자를 쓸 수 없습니다 (the joined file cannot take the extension of): %s";
const wchar_t kConcatSeparator[] =
    L"이름에 '|' 가 든 파일은 합칠 수 없습니다 (a file whose name holds '|' cannot be joined): %s";

bool IsSeparator(wchar_t c) {
#ifdef _WIN32
  return c == L'\\' || c == L'/' || c == L':';
#else
  return c == L'/';
#endif
}

// The extension must belong to the file's own name, not to a folder above it, and the name
// must have something before its dot.
bool HasOwnExtension(const std::wstring& path) {
  size_t nameStart = 0;
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) {
      nameStart = i;
      break;
    }
  }
  size_t dot = path.rfind(L'.');
  return dot != std::wstring::npos && dot > nameStart && dot + 1 < path.size();
}

// "mp4", "m2ts": what ffmpeg can take a format from. A name ending in "mp4 " or "mp4\" would
// give the joined file an extension no format answers to.
bool IsPlainExtension(const std::wstring& path) {
  std::wstring ext = path.substr(path.rfind(L'.') + 1);
  for (wchar_t c : ext) {
    bool plain = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
    if (!plain) return false;
  }
  return true;
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

bool CheckMergeEntries(const std::vector<std::wstring>& files, std::wstring& refusal) {
  for (const std::wstring& file : files) {
    if (file.empty()) {
      refusal = kEmptyEntry;
      return false;
    }
    if (!HasOwnExtension(file)) {
      refusal = Sprintf(kNoExtension, file);
      return false;
    }
    // The intermediate keeps the folder and the stem, so a "|" there would split the list.
    if (file.find(L'|') != std::wstring::npos) {
      refusal = Sprintf(kConcatSeparator, file);
      return false;
    }
  }
  if (!files.empty() && !IsPlainExtension(files[0])) {
    refusal = Sprintf(kJoinedExtension, files[0]);
    return false;
  }
  return true;
}

std::wstring MakeJoinCommand(const std::vector<std::wstring>& intermediates, const std::wstring& output) {
  std::wstring join = kJoinStart;
  for (size_t j = 0; j < intermediates.size(); ++j) {
    join += EscapeForQuotes(intermediates[j]);
    join += j + 1 < intermediates.size() ? L"|" : L"\"";
  }
  return Sprintf(kJoinFormat, join, EscapeForQuotes(output));
}
