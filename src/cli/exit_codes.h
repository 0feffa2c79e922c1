#pragma once
// Exit codes of the kestrune command line, in one place.
enum CliExitCode {
  CLI_EXIT_OK = 0,      // everything asked for succeeded
  CLI_EXIT_FAILED = 1,  // a file could not be probed, built or converted, or a run was refused
  CLI_EXIT_USAGE = 2,   // a bad argument, or a merge of files that differ (--join-anyway); nothing was run
  CLI_EXIT_MISSING_TOOL = 3,  // ffmpeg or MediaInfo cannot be found; nothing was run
  CLI_EXIT_STOPPED = 130,     // the run was stopped (Ctrl-C, SIGTERM): 128 + SIGINT, as shells say
};
