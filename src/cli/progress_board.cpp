#include "cli/progress_board.h"

#include "cli/progress_text.h"

namespace {
// A statistics line comes about twice a second from each command; the screen is redrawn at
// most this often for them.
constexpr auto kRedrawPause = std::chrono::milliseconds(200);
}  // namespace

CProgressBoard::CProgressBoard(std::function<void(const std::string&)> write, std::function<int()> columns,
                               bool draw)
    : write_(std::move(write)), columns_(std::move(columns)), draw_(draw) {}

void CProgressBoard::Redraw(const std::string& text) {
  std::string out;
  // Up to the first progress line, then clear from there to the end of the screen.
  if (shown_ > 0) out += "\033[" + std::to_string(shown_) + "A";
  if (shown_ > 0 || !text.empty()) out += "\r\033[J";
  out += text;
  int width = columns_ ? columns_() : 80;
  for (const CLine& line : lines_)
    out += FormatProgressStatus(line.counter, line.name, line.seconds, line.total, line.speed, width) + "\n";
  shown_ = lines_.size();
  drawn_ = std::chrono::steady_clock::now();
  if (!out.empty()) write_(out);
}

void CProgressBoard::Print(const std::string& text) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!draw_) {
    write_(text);
    return;
  }
  Redraw(text);
}

void CProgressBoard::Add(int id, const std::string& counter, const std::string& name, double total) {
  if (!draw_) return;
  std::lock_guard<std::mutex> guard(lock_);
  lines_.push_back(CLine{id, counter, name, 0, total, 0});
  Redraw(std::string());
}

void CProgressBoard::Update(int id, double seconds, double total, double speed) {
  if (!draw_) return;
  std::lock_guard<std::mutex> guard(lock_);
  for (CLine& line : lines_) {
    if (line.id != id) continue;
    line.seconds = seconds;
    if (total > 0) line.total = total;
    if (speed > 0) line.speed = speed;
  }
  if (std::chrono::steady_clock::now() - drawn_ >= kRedrawPause) Redraw(std::string());
}

void CProgressBoard::Remove(int id) {
  if (!draw_) return;
  std::lock_guard<std::mutex> guard(lock_);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].id == id) {
      lines_.erase(lines_.begin() + static_cast<long>(i));
      break;
    }
  }
  Redraw(std::string());
}
