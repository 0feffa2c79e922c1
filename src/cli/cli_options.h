#pragma once
// The command line's arguments, read into one request: the subcommand, its own flags, and a
// JobSettings that starts from the dialog's defaults and takes each option the user gave.
#include <string>
#include <vector>

#include "batch/gpu_sessions.h"
#include "jobs/job_settings.h"

enum CliCommand {
  CLI_COMMAND_NONE = 0,
  CLI_COMMAND_HELP,
  CLI_COMMAND_VERSION,
  CLI_COMMAND_PROBE,
  CLI_COMMAND_PLAN,
  CLI_COMMAND_RUN,
  CLI_COMMAND_EXEC,
  CLI_COMMAND_PRESETS,
};

// How plan and run choose the NVIDIA path: only where the check finds it works (the default),
// always (--gpu), or never (--no-gpu).
enum CliGpuMode { CLI_GPU_AUTO = 0, CLI_GPU_ON, CLI_GPU_OFF };

struct CCliRequest {
  CliCommand command = CLI_COMMAND_NONE;
  bool json = false;              // probe: every MediaDesc field as JSON; plan: every command as JSON
  bool pause = false;             // plan, run: keep the " & pause" endings
  CliGpuMode gpu = CLI_GPU_AUTO;  // settings.useGpu is true until auto has been decided
  int jobs = 1;                   // run: files whose commands run at once (plan takes it and names alike)
  bool verbose = false;           // run: pass ffmpeg's own output on
  int gpuSessions = kDefaultGpuSessions;  // run: NVENC encodes at once with --jobs
  JobSettings settings;                   // plan, run; settings.files holds the FILE arguments as given
  std::wstring commandText;               // exec: the command line to run
  std::wstring execOutput;                // exec --output: the file the command writes
  std::wstring reportFile;                // run --report: where the run's report goes; empty for none
  // What the arguments were read with but should be said: a preset's damaged values passed over.
  std::vector<std::wstring> notices;
  bool resume = false;                    // run --resume: leave out the files an earlier run made whole
};

// args without the program name. False on a bad argument, with error naming it; request is
// then incomplete. Files are not looked at here (see CheckCliFiles).
bool ParseCliArguments(const std::vector<std::wstring>& args, CCliRequest& request, std::wstring& error);

// Each FILE that names a folder gives way, in its place, to the video and audio files below it
// (base/folder_listing.h, jobs/media_classification.h: IsMediaFileName), and the folder, made
// absolute, joins settings.folderRoots so that an output folder keeps its tree. The folders
// below it that could not be read go into unreadable. False with error naming a folder that
// holds no such file.
bool ExpandCliFolders(JobSettings& settings, std::vector<std::wstring>& unreadable, std::wstring& error);

// Every FILE must name an existing file; each is made absolute, because a run works in the
// program folder. False with error naming the first bad one.
bool CheckCliFiles(std::vector<std::wstring>& files, std::wstring& error);

// --output-dir's folder, when one was given, must be a folder that a file can be made in; it
// is made absolute as the files are. False with error naming it.
bool CheckCliOutputFolder(std::wstring& folder, std::wstring& error);

// --report's file, when one was given, must not exist yet (a report never replaces a file) and
// must be one that can be made in its folder; it is made absolute as the files are. False with
// error naming it.
bool CheckCliReportFile(std::wstring& path, std::wstring& error);
