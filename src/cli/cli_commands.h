#pragma once
// The subcommands of the command line; each returns its exit code (cli/exit_codes.h).
#include "cli/cli_options.h"
#include "cli/cli_output.h"

int RunProbeCommand(CCliRequest& request, CCliOutput& out);

// plan (dryRun: print the commands) and run.
int RunBatchCommand(CCliRequest& request, CCliOutput& out, bool dryRun);

// exec: one command text, as plan prints it, run by the command interpreter; its exit code is
// the line's status.
int RunExecCommand(CCliRequest& request, CCliOutput& out);

// presets: the presets a --preset takes, the built-ins marked.
int RunPresetsCommand(CCliOutput& out);

// The whole command line: args without the program name. Messages shown by the core go to
// out's standard error while it runs.
int RunKestrune(const std::vector<std::wstring>& args, CCliOutput& out);

// The help and version texts.
std::wstring UsageText();
std::wstring VersionText();  // "kestrune 1.0.2"
