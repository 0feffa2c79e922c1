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
