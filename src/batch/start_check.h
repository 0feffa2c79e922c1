#pragma once
// The checks of the start button: the encoder must be found and MediaInfo must lie beside the
// program, otherwise the missing-tool dialog is offered instead of a run; and the window's
// console host must lie beside it, otherwise every command would fail without a word. An
// output folder, when one is given, must take files before anything runs.
#include <string>

#include "jobs/job_settings.h"

enum MissingTool {
  MISSING_NONE = 0,
  MISSING_FFMPEG = 1,     // the missing-tool dialog's mode for ffmpeg
  MISSING_MEDIAINFO = 2,  // and for MediaInfo
};

// MediaInfo lies beside the program (on POSIX: in the program folder or on PATH).
bool IsMediaInfoPresent();

// Looks up "ffmpeg.exe" (only "not found", code 2, counts as missing; other failures of the
// lookup count as present), then MediaInfo. Traces "%X-[%s]" with the lookup's code and path.
MissingTool FindMissingTool();

// The program the window runs each command line through (ConsoleHostProgram: kestrune-cli.exe
// beside the window's program on Windows) when it is not there: its path. Empty when it is
// there, and where command lines run without it (POSIX).
std::wstring FindMissingConsoleHost();

enum OutputFolderCheck {
  OUTPUT_FOLDER_OK = 0,        // none given, or one a file can be made in
  OUTPUT_FOLDER_MISSING,       // no folder of that name
  OUTPUT_FOLDER_NOT_WRITABLE,  // a file cannot be made there (read-only, full, refused)
};

// The folder every file of a run goes to (JobSettings::outputFolder); empty is fine: the files
// go beside their inputs. A file is really made there and removed again: access bits say too
// little (read-only mounts and shares, ACLs, root).
OutputFolderCheck CheckOutputFolder(const std::wstring& folder);

// The output folder checked, then every folder below it that the files of a kept tree go to
// (OutputFolderFor) made as needed and checked the same way, at the start of a run. The first
// folder that fails goes into failedFolder; a folder that cannot be made counts as not
// writable. OUTPUT_FOLDER_OK without an output folder.
OutputFolderCheck PrepareOutputFolders(const JobSettings& settings, std::wstring& failedFolder);
