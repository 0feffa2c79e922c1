#include <cstdio>

#include "base/text.h"
#include "cli/cli_output.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#ifdef _WIN32
namespace {
// A console takes wide text as it is; a pipe or file gets UTF-8.
void Write(DWORD handleId, FILE* stream, const std::wstring& text) {
  HANDLE handle = GetStdHandle(handleId);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
    std::fflush(stream);
    DWORD written = 0;
    WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  std::string narrow = WideToUtf8(text);
  std::fwrite(narrow.data(), 1, narrow.size(), stream);
  std::fflush(stream);
}
}  // namespace

void CConsoleOutput::Out(const std::wstring& text) { Write(STD_OUTPUT_HANDLE, stdout, text); }

void CConsoleOutput::Err(const std::wstring& text) { Write(STD_ERROR_HANDLE, stderr, text); }

// The progress bar reads ffmpeg's own output through a pipe, which only the POSIX build does.
bool CConsoleOutput::ErrIsTerminal() const { return false; }

int CConsoleOutput::ErrColumns() const {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info) && info.dwSize.X > 1)
    return info.dwSize.X - 1;
  return 79;
}
#else
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
#endif
