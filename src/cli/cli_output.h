#pragma once
// Where the command line writes: standard output for results (summaries, JSON, commands),
// standard error for progress, messages and errors. Tests capture both.
#include <string>

#include "base/texts.h"

class CCliOutput {
 public:
  virtual ~CCliOutput() = default;
  virtual void Out(const std::wstring& text) = 0;
  virtual void Err(const std::wstring& text) = 0;
  // Whether standard error is a terminal that can show a progress bar.
  virtual bool ErrIsTerminal() const = 0;
  // The width of that terminal in columns, less one so a line never wraps.
  virtual int ErrColumns() const { return 79; }
};

// The process's own standard output and error (UTF-8, or the console's own wide output).
class CConsoleOutput : public CCliOutput {
 public:
  void Out(const std::wstring& text) override;
  void Err(const std::wstring& text) override;
  bool ErrIsTerminal() const override;
  int ErrColumns() const override;
};

// The command line speaks English whatever the locale: scripts read its lines.
inline const wchar_t* CliText(TextId id) { return Text(id, kUiLanguageEnglish); }
template <typename... Args>
std::wstring CliFormat(TextId id, const Args&... args) {
  return FormatText(id, kUiLanguageEnglish, args...);
}
