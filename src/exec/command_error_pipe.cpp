#include "exec/command_error_pipe.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

#ifdef _WIN32
// The console shows the programs' own output; nothing is redirected on Windows.
CCommandErrorPipe::CCommandErrorPipe() = default;

CCommandErrorPipe::~CCommandErrorPipe() = default;

bool CCommandErrorPipe::Read(std::string&) { return false; }

void CCommandErrorPipe::CloseWriteEnd() {}

void CCommandErrorPipe::Write(const std::string&) {}
#else
CCommandErrorPipe::CCommandErrorPipe() {
  int ends[2];
  // Close-on-exec: a program started for another line never inherits either end; the program
  // of this line gets the write end as its descriptor 2 only (posix_spawn's dup2 clears the flag).
  if (pipe2(ends, O_CLOEXEC) != 0) return;
  readEnd_ = ends[0];
  writeEnd_ = ends[1];
}

CCommandErrorPipe::~CCommandErrorPipe() {
  CloseWriteEnd();
  if (readEnd_ >= 0) close(readEnd_);
}

bool CCommandErrorPipe::Read(std::string& chunk) {
  if (readEnd_ < 0) return false;
  char buffer[4096];
  while (true) {
    ssize_t got = read(readEnd_, buffer, sizeof buffer);
    if (got > 0) {
      chunk.assign(buffer, static_cast<size_t>(got));
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    return false;
  }
}

void CCommandErrorPipe::CloseWriteEnd() {
  if (writeEnd_ >= 0) close(writeEnd_);
  writeEnd_ = -1;
}

void CCommandErrorPipe::Write(const std::string& text) {
  size_t done = 0;
  while (writeEnd_ >= 0 && done < text.size()) {
    ssize_t n = write(writeEnd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}
#endif
