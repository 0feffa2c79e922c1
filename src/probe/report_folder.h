#pragma once
// Where the probe's report media.txt lies: in the program folder when the program can write
// there (a portable copy, a per-user install), otherwise in a folder of the user's own, so
// that a program installed where users cannot write (/usr/lib/kestrune, Program Files) still
// probes. Every probe of that folder takes the folder lock of that folder.
#include <string>

#include "base/private_folder.h"

// The user's own report folder with its trailing separator, created when missing; empty when
// no safe one can be had.
//   POSIX: $XDG_RUNTIME_DIR/kestrune/ when that variable names a usable folder, else
//   <tmp>/kestrune-<uid>/ ($TMPDIR or /tmp). Each is created with mode 0700 and refused unless
//   it is a real folder owned by the user that nobody else may enter: a folder someone else
//   made there beforehand is never used.
//   Windows: %LOCALAPPDATA%\Kestrune\.
std::wstring UserReportFolder();

// programDir when a file can be created there, else UserReportFolder(); empty when neither.
std::wstring ReportFolder(const std::wstring& programDir);
