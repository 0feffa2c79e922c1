#include "batch/ffmpeg_encoders.h"

#include <algorithm>
#include <sstream>

#include "base/file_util.h"
#include "base/text.h"
#include "base/trace.h"
#include "exec/hidden_program.h"

namespace {
// A listing is a few hundred lines; anything far longer is not one.
constexpr size_t kMostListBytes = 1 << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trimmed(const std::string& line) {
  size_t begin = 0;
  size_t end = line.size();
  while (begin < end && IsBlank(line[begin])) ++begin;
  while (end > begin && IsBlank(line[end - 1])) --end;
  return line.substr(begin, end - begin);
}

// "V....D libx264  libx264 H.264 ... (codec h264)": the name and the codec of an encoder line;
// false for a line that is none.
bool ReadEncoderLine(const std::string& line, std::string& name, std::string& codec) {
  std::istringstream words(line);
  std::string flags;
  if (!(words >> flags >> name)) return false;
  // The flags are six characters, the first the kind: video, audio or subtitle.
  if (flags.size() < 6 || (flags[0] != 'V' && flags[0] != 'A' && flags[0] != 'S')) return false;
  const std::string marker = "(codec ";
  size_t open = line.rfind(marker);
  size_t close = open == std::string::npos ? std::string::npos : line.find(')', open);
  codec = close == std::string::npos ? name : line.substr(open + marker.size(), close - open - marker.size());
  return true;
}
}  // namespace

bool CEncoderList::Has(const std::wstring& name) const {
  if (!known) return true;
  return std::any_of(encoders.begin(), encoders.end(),
                     [&](const auto& entry) { return entry.first == name; });
}

std::vector<std::wstring> CEncoderList::EncodersOf(const std::wstring& codec) const {
  std::vector<std::wstring> names;
  for (const auto& entry : encoders)
    if (entry.second == codec) names.push_back(entry.first);
  return names;
}

bool ParseEncoderList(const std::string& output, CEncoderList& list) {
  list = CEncoderList();
  std::istringstream lines(output);
  std::string line;
  bool inList = false;
  while (std::getline(lines, line)) {
    std::string text = Trimmed(line);
    if (!inList) {
      inList = text == "------";
      continue;
    }
    std::string name, codec;
    if (ReadEncoderLine(text, name, codec)) list.encoders.emplace_back(Utf8ToWide(name), Utf8ToWide(codec));
  }
  list.known = !list.encoders.empty();
  return list.known;
}

FfmpegRun FfmpegRunOf(int status) {
  // -1: not started or not waited for; a run that did not start says nothing of the build.
  if (status == kHiddenProgramTimedOut || status == -1) return FFMPEG_RUN_NO_ANSWER;
  return status == 0 ? FFMPEG_RUN_OK : FFMPEG_RUN_FAILED;
}

FfmpegRun ReadFfmpegEncoders(const std::wstring& ffmpeg, int timeLimitMs, const std::wstring& listFile,
                             CEncoderList& list) {
  list = CEncoderList();
  int status =
      RunHiddenProgramWithin(timeLimitMs, ffmpeg, {L"-hide_banner", L"-nostdin", L"-encoders"}, listFile);
  DebugLog(L"GpuCheck-encoders-%d", status);
  FfmpegRun run = FfmpegRunOf(status);
  if (run != FFMPEG_RUN_OK) return run;
  std::string output;
  if (!ReadTextFile(listFile, output, kMostListBytes)) return FFMPEG_RUN_NO_ANSWER;
  ParseEncoderList(output, list);
  return FFMPEG_RUN_OK;
}
