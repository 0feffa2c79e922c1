#pragma once
// Runs the command line in-process and keeps what it wrote.
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_output.h"

class CaptureOutput : public CCliOutput {
 public:
  void Out(const std::wstring& text) override { out += text; }
  void Err(const std::wstring& text) override { err += text; }
  bool ErrIsTerminal() const override { return terminal; }

  std::wstring out, err;
  bool terminal = false;  // standard error as a terminal: progress lines are drawn
};

struct CliResult {
  int exitCode = -1;
  std::wstring out, err;
};

inline CliResult RunCli(const std::vector<std::wstring>& args, bool terminal = false) {
  CaptureOutput output;
  output.terminal = terminal;
  CliResult result;
  result.exitCode = RunKestrune(args, output);
  result.out = output.out;
  result.err = output.err;
  return result;
}
