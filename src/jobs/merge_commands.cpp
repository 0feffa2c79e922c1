#include "jobs/merge_commands.h"

#include "base/command_quoting.h"
#include "base/trace.h"
#include "jobs/media_classification.h"
#include "jobs/output_naming.h"

namespace {
const wchar_t kRemuxFormat[] = L"FFMpeg.exe -y -i \"%s\" -c copy  -f mpegts \"%s\"";
const wchar_t kMergeVideoAudioFormat[] =
    L"ffmpeg -i \"%s\" -i \"%s\" -map 0 -map 1 -c copy  -strict -2 \"%s\" & pause";
const wchar_t kJoinStart[] = L"ffmpeg -y -i \"concat:";
const wchar_t kJoinFormat[] = L"%s -c copy  \"%s\" & pause";

// The first of the first two listed files that passes the test; later files are never looked at.
const std::wstring* FindAmongFirstTwo(const std::vector<std::wstring>& files,
                                      bool (*test)(const std::wstring&)) {
  for (size_t i = 0; i < 2 && i < files.size(); ++i) {
    if (test(files[i])) return &files[i];
  }
  return nullptr;
}

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

TextId PickMergeVideoAudio(const std::vector<std::wstring>& files, std::wstring& video, std::wstring& audio) {
  if (files.size() < 2) return TXT_REFUSE_NEED_TWO_FILES;
  const std::wstring* videoFile = FindAmongFirstTwo(files, IsVideoFile);
  const std::wstring* audioFile = FindAmongFirstTwo(files, IsAudioFile);
  if (videoFile == nullptr || audioFile == nullptr) return TXT_REFUSE_NEED_VIDEO_AND_AUDIO;
  video = *videoFile;
  audio = *audioFile;
  return TXT_NONE;
}

CBuiltCommand BuildMergeVideoAudioCommand(const JobSettings& settings, const MediaDesc* videoMedia) {
  CBuiltCommand built;
  std::wstring video, audio;
  built.refusal.text = PickMergeVideoAudio(settings.files, video, audio);
  if (built.refusal.Refused()) return built;
  std::wstring output;
  if (!GetOutputFileName(settings, video, output)) output.clear();
  // The text takes nothing from the description (the expected length does): a video that
  // MediaInfo cannot read is refused.
  if (videoMedia == nullptr) {
    built.refusal.text = TXT_REFUSE_MEDIA_INFO_ERROR;
    return built;
  }
  built.text = Sprintf(kMergeVideoAudioFormat, EscapeForQuotes(video), EscapeForQuotes(audio),
                       EscapeForQuotes(output));
  built.output = output;
  built.expectedMs = ExpectedOutputMs(settings, *videoMedia);
  return built;
}

CRefusal CheckMergeEntries(const std::vector<std::wstring>& files, const std::wstring& outputFolder) {
  if (outputFolder.find(L'|') != std::wstring::npos)
    return CRefusal{TXT_REFUSE_CONCAT_SEPARATOR_FOLDER, outputFolder};
  for (const std::wstring& file : files) {
    if (file.empty()) return CRefusal{TXT_REFUSE_EMPTY_ENTRY, L""};
    if (!HasOwnExtension(file)) return CRefusal{TXT_REFUSE_NO_EXTENSION, file};
    // The intermediate keeps the folder and the stem, so a "|" there would split the list.
    if (file.find(L'|') != std::wstring::npos) return CRefusal{TXT_REFUSE_CONCAT_SEPARATOR, file};
  }
  if (!files.empty() && !IsPlainExtension(files[0])) return CRefusal{TXT_REFUSE_JOINED_EXTENSION, files[0]};
  return CRefusal();
}

std::wstring MakeJoinCommand(const std::vector<std::wstring>& intermediates, const std::wstring& output) {
  std::wstring join = kJoinStart;
  for (size_t j = 0; j < intermediates.size(); ++j) {
    join += EscapeForQuotes(intermediates[j]);
    join += j + 1 < intermediates.size() ? L"|" : L"\"";
  }
  return Sprintf(kJoinFormat, join, EscapeForQuotes(output));
}
