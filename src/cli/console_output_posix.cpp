#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

#include "base/text.h"
#include "cli/cli_output.h"

void CConsoleOutput::Out(const std::wstring& text) {
  std::string narrow = WideToUtf8(text);
  std::fwrite(narrow.data(), 1, narrow.size(), stdout);
  std::fflush(stdout);
}

void CConsoleOutput::Err(const std::wstring& text) {
  std::string narrow = WideToUtf8(text);
  std::fwrite(narrow.data(), 1, narrow.size(), stderr);
  std::fflush(stderr);
}

bool CConsoleOutput::ErrIsTerminal() const { return isatty(STDERR_FILENO) == 1; }

int CConsoleOutput::ErrColumns() const {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) return size.ws_col - 1;
  return 79;
}
