#include "jobs/output_naming.h"

#include <cwchar>

#include "base/file_util.h"
#include "base/text.h"
#include "base/trace.h"
#include "jobs/merge_commands.h"

namespace {
constexpr size_t kNumberTailLength = 5;  // "_(NN)"
constexpr size_t kMinStemForNumber = 7;
constexpr int kFirstNumber = 2;

// The number a stem already carries: its last five characters scanned as "_(%d)", 0 when
// none is read. What follows the integer is not checked, so "_(999" reads 999.
int ReadNumberTail(const std::wstring& tail) {
  int number = 0;
  if (std::swscanf(tail.c_str(), L"_(%d)", &number) != 1) return 0;
  return number;
}

void ApplyExtensionOverrides(const JobSettings& settings, std::wstring& ext) {
  if (settings.containerMp4) ext = L"mp4";
  if (settings.containerMkv) ext = L"mkv";
  if (settings.outputCodec == OUT_GIF) ext = L"gif";
  if (settings.outputCodec == OUT_WAV) ext = L"wav";
  if (settings.outputCodec == OUT_MP3) ext = L"mp3";
}

// Only the encoders' containers are written for H.264 and H.265; a video extract always
// gives MP4.
void ApplyVideoContainerRule(const JobSettings& settings, std::wstring& ext) {
  const bool videoCodec = settings.outputCodec == OUT_H264 || settings.outputCodec == OUT_H265;
  if (!videoCodec || settings.jobKind == JOB_AUDIO_EXTRACT || settings.outputKind != OUTPUT_VIDEO) return;
  if (ext != L"mp4" && ext != L"mkv") ext = L"mp4";
  if (ext == L"mkv" && settings.jobKind == JOB_VIDEO_EXTRACT) ext = L"mp4";
}
}  // namespace

bool GetOutputFileName(const JobSettings& settings, const std::wstring& inputPath, std::wstring& out) {
  const size_t dot = inputPath.rfind(L'.');
  const long long length = static_cast<long long>(inputPath.size());
  const long long dotPos = dot == std::wstring::npos ? -1 : static_cast<long long>(dot);
  if (length - dotPos <= 1) return false;

  DebugLog(L"GetOutputFileName - %s", inputPath);

  std::wstring stem = dot == std::wstring::npos ? std::wstring() : inputPath.substr(0, dot);
  std::wstring ext = dot == std::wstring::npos ? inputPath : inputPath.substr(dot + 1);
  std::wstring candidate = inputPath;

  if (settings.jobKind == JOB_MERGE_FILES) {
    // The transport stream of a merge has a fixed name that the join step finds again; it is
    // overwritten on purpose.
    GetTransportStreamPath(inputPath, candidate);
  } else {
    if (settings.jobKind != JOB_AUDIO_EXTRACT) ApplyExtensionOverrides(settings, ext);

    int counter = kFirstNumber;
    if (stem.size() >= kMinStemForNumber) {
      const std::wstring tail = stem.substr(stem.size() - kNumberTailLength);
      const int number = ReadNumberTail(tail);
      DebugLog(L"GetOutputFileName - 1- %s, %s -> %s, (%d) ", stem, ext, tail, number);
      if (number >= kFirstNumber) {
        // Number on from the name's own number, on its base name: clip_(03) gives clip_(04),
        // never clip_(03)_(02).
        counter = number;
        stem.resize(stem.size() - kNumberTailLength);
      }
      DebugLog(L"GetOutputFileName - 2 - %s", stem);
    }

    ext = ToLowerText(ext);
    ApplyVideoContainerRule(settings, ext);

    // The input itself is the first candidate, so an existing input always gets a number.
    // Counting goes on past 99 as long as names are taken: handing back an existing file or
    // the input would let ffmpeg ("-y") overwrite it.
    while (FileExists(candidate)) {
      candidate = Sprintf(L"%s_(%02d).%s", stem, counter, ext);
      DebugLog(L"%d - %s", counter, candidate);
      ++counter;
    }
  }

  DebugLog(L"GetOutputFileName - END - %s -> [%s , %s],\n%s , ret=%d", inputPath, stem, ext, candidate, 0);
  out = candidate;
  return true;
}
