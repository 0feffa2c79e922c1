#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "cli/progress_text.h"
#include "cli/progress_watch.h"

namespace {
const char kClearLine[] = "\r\033[K";
constexpr int kQuietMillis = 300;  // a partial line (a prompt) is passed on after this pause

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

int TerminalWidth(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) return size.ws_col - 1;
  return 79;
}
}  // namespace

struct CProgressWatch::CState {
  std::string counter, name;
  double total = 0;
  double reached = 0;
  bool totalFromCommand = false;
  bool barShown = false;
  int terminal = -1;  // the real standard error
  int readEnd = -1;
  std::thread reader;

  void DrawBar() {
    WriteAll(terminal,
             kClearLine + FormatProgressLine(counter, name, reached, total, TerminalWidth(terminal)));
    barShown = true;
  }

  void PassOn(const std::string& text) {
    if (barShown) WriteAll(terminal, kClearLine);
    barShown = false;
    WriteAll(terminal, text);
  }

  // One piece of output, without its ending; ended says whether a line feed or carriage return
  // closed it.
  void Take(const std::string& piece, char ending) {
    double seconds = 0;
    if (ParseProgressTime(piece, seconds)) {
      reached = seconds;
      DrawBar();
      return;
    }
    if (!totalFromCommand && total <= 0 && ParseInputDuration(piece, seconds)) total = seconds;
    PassOn(ending ? piece + "\n" : piece);
    if (ending && reached > 0) DrawBar();
  }

  void Read() {
    std::string pending;
    char buffer[4096];
    while (true) {
      pollfd watch{readEnd, POLLIN, 0};
      int ready = poll(&watch, 1, kQuietMillis);
      if (ready == 0) {
        // Nothing for a while: a prompt without a line end must still be seen.
        if (!pending.empty()) {
          Take(pending, 0);
          pending.clear();
        }
        continue;
      }
      ssize_t got = read(readEnd, buffer, sizeof buffer);
      if (got <= 0) break;
      pending.append(buffer, static_cast<size_t>(got));
      size_t start = 0, end;
      while ((end = pending.find_first_of("\r\n", start)) != std::string::npos) {
        Take(pending.substr(start, end - start), pending[end]);
        start = end + 1;
      }
      pending.erase(0, start);
    }
    if (!pending.empty()) Take(pending, 0);
    if (barShown) WriteAll(terminal, kClearLine);
  }
};

CProgressWatch::CProgressWatch(const std::string& counter, const std::string& name, double total)
    : state_(new CState) {
  state_->counter = counter;
  state_->name = name;
  state_->total = total;
  state_->totalFromCommand = total > 0;
  int ends[2];
  std::fflush(stderr);
  // Only standard error itself is handed on to the commands; the other ends stay ours.
  if (pipe2(ends, O_CLOEXEC) != 0) {
    state_.reset();
    return;
  }
  state_->terminal = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  if (state_->terminal < 0 || dup2(ends[1], STDERR_FILENO) < 0) {
    close(ends[0]);
    close(ends[1]);
    if (state_->terminal >= 0) close(state_->terminal);
    state_.reset();
    return;
  }
  close(ends[1]);
  state_->readEnd = ends[0];
  CState* state = state_.get();
  state_->reader = std::thread([state] { state->Read(); });
}

CProgressWatch::~CProgressWatch() {
  if (!state_) return;
  std::fflush(stderr);
  // Giving standard error back closes the pipe's last write end once the commands are gone.
  dup2(state_->terminal, STDERR_FILENO);
  state_->reader.join();
  close(state_->readEnd);
  close(state_->terminal);
}
