#include "cli/command_watch.h"

CCommandWatch::CCommandWatch(CCommandErrorPipe& pipe, CProgressBoard& board, CSettings settings)
    : pipe_(pipe), board_(board), settings_(std::move(settings)), stream_(settings_.total) {
  board_.Add(settings_.id, settings_.counter, settings_.name, stream_.Progress().total);
  stream_.onProgress = [this](const CFfmpegProgress& progress) {
    board_.Update(settings_.id, progress.seconds, progress.total, progress.speed);
  };
  stream_.onLine = [this](const std::string& line, bool statistics, char ending) {
    PassOn(line, statistics, ending);
  };
  reader_ = std::thread([this] { Read(); });
}

CCommandWatch::~CCommandWatch() { Finish(); }

void CCommandWatch::Finish() {
  if (!reader_.joinable()) return;
  reader_.join();
  board_.Remove(settings_.id);
}

void CCommandWatch::PassOn(const std::string& line, bool statistics, char ending) {
  if (settings_.passThrough) {
    board_.Print(ending != 0 ? line + ending : line);
    return;
  }
  if (!settings_.verbose) return;
  // Without a terminal there is no progress line: the verbose output keeps ffmpeg's own.
  if (statistics) {
    if (!board_.Draws()) board_.Print(settings_.prefix + line + "\n");
    return;
  }
  if (!line.empty()) board_.Print(settings_.prefix + line + "\n");
}

void CCommandWatch::Read() {
  std::string chunk;
  while (pipe_.Read(chunk)) stream_.Take(chunk);
  stream_.Finish();
}
