#include "cli/command_watch.h"

#include "cli/progress_text.h"

CCommandWatch::CCommandWatch(CCommandErrorPipe& pipe, CProgressBoard& board, CSettings settings)
    : pipe_(pipe), board_(board), settings_(std::move(settings)), total_(settings_.total) {
  board_.Add(settings_.id, settings_.counter, settings_.name, total_);
  reader_ = std::thread([this] { Read(); });
}

CCommandWatch::~CCommandWatch() { Finish(); }

void CCommandWatch::Finish() {
  if (!reader_.joinable()) return;
  reader_.join();
  board_.Remove(settings_.id);
}

std::string CCommandWatch::LastLines() const {
  std::string text;
  for (const std::string& line : kept_) text += line + "\n";
  return text;
}

void CCommandWatch::Take(const std::string& line) {
  double value = 0;
  if (ParseProgressTime(line, value)) {
    seconds_ = value;
    if (ParseProgressSpeed(line, value)) speed_ = value;
    board_.Update(settings_.id, seconds_, total_, speed_);
    // Without a terminal there is no progress line: the verbose output keeps ffmpeg's own.
    if (settings_.verbose && !board_.Draws()) board_.Print(settings_.prefix + line + "\n");
    return;
  }
  // The first input's length, unless the run knows better (a time range).
  if (total_ <= 0 && ParseInputDuration(line, value)) {
    total_ = value;
    board_.Update(settings_.id, seconds_, total_, speed_);
  }
  if (line.empty()) return;
  if (settings_.verbose) board_.Print(settings_.prefix + line + "\n");
  kept_.push_back(line);
  if (kept_.size() > kKeptLines) kept_.pop_front();
}

void CCommandWatch::Read() {
  std::string pending, chunk;
  // ffmpeg ends a statistics line with a carriage return, every other line with a line feed.
  while (pipe_.Read(chunk)) {
    pending += chunk;
    size_t start = 0, end;
    while ((end = pending.find_first_of("\r\n", start)) != std::string::npos) {
      Take(pending.substr(start, end - start));
      start = end + 1;
    }
    pending.erase(0, start);
  }
  if (!pending.empty()) Take(pending);
}
