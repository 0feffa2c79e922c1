#pragma once
// The command line's arguments, read into one request: the subcommand, its own flags, and a
// JobSettings that starts from the dialog's defaults and takes each option the user gave.
#include <string>
#include <vector>

#include "jobs/job_settings.h"

enum CliCommand {
  CLI_COMMAND_NONE = 0,
  CLI_COMMAND_HELP,
  CLI_COMMAND_VERSION,
  CLI_COMMAND_PROBE,
  CLI_COMMAND_PLAN,
  CLI_COMMAND_RUN,
};

struct CCliRequest {
  CliCommand command = CLI_COMMAND_NONE;
  bool json = false;     // probe: every MediaDesc field as JSON
  bool pause = false;    // plan, run: keep the " & pause" endings
  JobSettings settings;  // plan, run; settings.files holds the FILE arguments as given
};

// args without the program name. False on a bad argument, with error naming it; request is
// then incomplete. Files are not looked at here (see CheckCliFiles).
bool ParseCliArguments(const std::vector<std::wstring>& args, CCliRequest& request, std::wstring& error);

// Every FILE must name an existing file; each is made absolute, because a run works in the
// program folder. False with error naming the first bad one.
bool CheckCliFiles(std::vector<std::wstring>& files, std::wstring& error);
