#include "probe/media_lengths.h"

#include <charconv>
#include <cmath>

#include "base/file_util.h"
#include "base/scratch_folder.h"
#include "base/trace.h"
#include "exec/hidden_program.h"
#include "exec/program_lookup.h"
#include "probe/probe_launch.h"

namespace {
// The longest answer read: a line per stream, of a few figures each.
constexpr size_t kMostAnswerBytes = 64 * 1024;

// A duration as MediaInfo gives it in the template ("800", "3660000.000000"), rounded to the
// millisecond; kLengthNotGiven for an empty or unreadable field.
int64_t ReadMilliseconds(std::string_view field) {
  double value = 0;
  const char* end = field.data() + field.size();
  auto result = std::from_chars(field.data(), end, value);
  if (result.ec != std::errc() || !std::isfinite(value) || value < 0 || value > 9.0e15)
    return kLengthNotGiven;
  return static_cast<int64_t>(value + 0.5);
}

int ReadCount(std::string_view field) {
  int value = 0;
  auto result = std::from_chars(field.data(), field.data() + field.size(), value);
  return result.ec == std::errc() && value > 0 ? value : 0;
}

// The fields of a line, split at '|'.
std::string_view Field(std::string_view line, int index) {
  for (int i = 0; i < index; ++i) {
    size_t bar = line.find('|');
    if (bar == std::string_view::npos) return std::string_view();
    line.remove_prefix(bar + 1);
  }
  return line.substr(0, line.find('|'));
}
}  // namespace

const wchar_t* MediaLengthsTemplate() {
  // Each section is one line of the template; "\n" in a section's text is MediaInfo's own line
  // break, written after each stream.
  return L"General;G%Format%|%Duration%|%VideoCount%|%AudioCount%|%ImageCount%\\n\n"
         L"Video;V%Duration%\\n\n"
         L"Audio;A%Duration%\\n";
}

bool ParseMediaLengths(std::string_view answer, CMediaLengths& lengths) {
  lengths = CMediaLengths();
  bool general = false;
  int audio = 0;
  bool video = false;
  const std::string_view bom = "\xEF\xBB\xBF";
  if (answer.substr(0, bom.size()) == bom) answer.remove_prefix(bom.size());
  while (!answer.empty()) {
    size_t end = answer.find('\n');
    std::string_view line = answer.substr(0, end);
    answer.remove_prefix(end == std::string_view::npos ? answer.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const char kind = line[0];
    line.remove_prefix(1);
    // One file only: a second general line would belong to another.
    if (kind == 'G' && !general) {
      general = true;
      lengths.described = !Field(line, 0).empty();
      lengths.fileMs = ReadMilliseconds(Field(line, 1));
      lengths.videoCount = ReadCount(Field(line, 2)) + ReadCount(Field(line, 4));
      lengths.audioCount = ReadCount(Field(line, 3));
    } else if (kind == 'V' && general && !video) {
      video = true;
      lengths.videoMs = ReadMilliseconds(line);
    } else if (kind == 'A' && general && audio < MAX_AUDIO_TRACKS) {
      lengths.audioMs[audio++] = ReadMilliseconds(line);
    }
  }
  return lengths.described;
}

bool MeasureMediaFile(const std::wstring& path, CMediaLengths& lengths) {
  lengths = CMediaLengths();
  const std::wstring mediaInfo = MediaInfoProgramPath();
  if (mediaInfo.empty() || !FileExists(path)) return false;
  CScratchFolder folder("lengths");
  if (!folder.Made()) return false;
  const std::wstring answerPath = folder.File(L"lengths.txt");
  const int status = RunHiddenProgram(
      mediaInfo, {std::wstring(L"--Inform=") + MediaLengthsTemplate(), MediaInfoFileArgument(path)},
      answerPath);
  std::string answer;
  const bool read =
      status == 0 && ReadTextFile(answerPath, answer, kMostAnswerBytes) && ParseMediaLengths(answer, lengths);
  DebugLog(L"MeasureMediaFile-%d-%lld-%s", status, static_cast<long long>(lengths.fileMs), path);
  return read;
}

void ApplyMediaLengths(const CMediaLengths& lengths, MediaDesc& media) {
  auto known = [](int64_t ms) { return ms > 0 ? ms : 0; };
  media.exact.fileMs = known(lengths.fileMs);
  media.exact.videoMs = known(lengths.videoMs);
  for (int i = 0; i < MAX_AUDIO_TRACKS; ++i) media.exact.audioMs[i] = known(lengths.audioMs[i]);
}
