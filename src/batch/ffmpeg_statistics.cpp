#include "batch/ffmpeg_statistics.h"

#include <cmath>
#include <cstdio>

namespace {
// "HH:MM:SS.ss" at the start of text.
bool ParseClock(const std::string& text, double& seconds) {
  int hours = 0, minutes = 0;
  double rest = 0;
  int used = 0;
  if (std::sscanf(text.c_str(), "%d:%d:%lf%n", &hours, &minutes, &rest, &used) != 3 || used == 0)
    return false;
  if (hours < 0 || minutes < 0 || rest < 0) return false;
  seconds = hours * 3600.0 + minutes * 60.0 + rest;
  return true;
}

bool IsStatisticsLine(const std::string& line) {
  return line.rfind("frame=", 0) == 0 || line.rfind("size=", 0) == 0;
}

// ffmpeg's last words after an error that it has already named.
const char kConversionFailed[] = "Conversion failed!";
}  // namespace

bool ParseProgressTime(const std::string& line, double& seconds) {
  if (!IsStatisticsLine(line)) return false;
  size_t at = line.find("time=");
  return at != std::string::npos && ParseClock(line.substr(at + 5), seconds);
}

bool ParseInputDuration(const std::string& line, double& seconds) {
  size_t at = line.find("Duration: ");
  if (at == std::string::npos || line.find_first_not_of(' ') != at) return false;
  return ParseClock(line.substr(at + 10), seconds);
}

bool ParseProgressSpeed(const std::string& line, double& speed) {
  if (!IsStatisticsLine(line)) return false;
  size_t at = line.find("speed=");
  if (at == std::string::npos) return false;
  double value = 0;
  int used = 0;
  // ffmpeg pads the figure: "speed=   2x".
  if (std::sscanf(line.c_str() + at + 6, " %lf%n", &value, &used) != 1 || used == 0) return false;
  if (!(value > 0) || !std::isfinite(value) || line.compare(at + 6 + used, 1, "x") != 0) return false;
  speed = value;
  return true;
}

CFfmpegErrorStream::CFfmpegErrorStream(double total) { progress_.total = total > 0 ? total : 0; }

void CFfmpegErrorStream::Take(const std::string& bytes) {
  pending_ += bytes;
  size_t start = 0, end;
  while ((end = pending_.find_first_of("\r\n", start)) != std::string::npos) {
    TakeLine(pending_.substr(start, end - start), pending_[end]);
    start = end + 1;
  }
  pending_.erase(0, start);
}

void CFfmpegErrorStream::Finish() {
  if (pending_.empty()) return;
  std::string last;
  last.swap(pending_);
  TakeLine(last, 0);
}

void CFfmpegErrorStream::TakeLine(const std::string& line, char ending) {
  double value = 0;
  if (ParseProgressTime(line, value)) {
    progress_.seconds = value;
    if (ParseProgressSpeed(line, value)) progress_.speed = value;
    if (onLine) onLine(line, true, ending);
    if (onProgress) onProgress(progress_);
    return;
  }
  if (onLine) onLine(line, false, ending);
  // The first input's length, unless the run knows better (a time range).
  if (progress_.total <= 0 && ParseInputDuration(line, value)) {
    progress_.total = value;
    if (onProgress) onProgress(progress_);
  }
  if (line.empty()) return;
  kept_.push_back(line);
  if (kept_.size() > kKeptLines) kept_.pop_front();
}

std::string CFfmpegErrorStream::LastLines() const {
  std::string text;
  for (const std::string& line : kept_) text += line + "\n";
  return text;
}

std::string CFfmpegErrorStream::LastErrorLine() const {
  std::string found;
  for (auto line = kept_.rbegin(); line != kept_.rend(); ++line) {
    if (line->find_first_not_of(" \t") == std::string::npos) continue;
    if (*line != kConversionFailed) return *line;
    if (found.empty()) found = *line;
  }
  return found;
}
