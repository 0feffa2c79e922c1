#pragma once
// Starting a program can fail for a moment: the system is short of memory, of processes or of
// a resource of its own (the desktop heap that every console window takes on Windows), or a
// virus scanner still holds the file it has just read. Every start in exec/ is then tried again
// a little later before it counts as failed. A program that is not there, is no program or may
// not run fails at once: a second try would only delay the message.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int kStartTries = 3;
constexpr int kStartPauseMs = 200;

// Whether a start that failed with this error (a Windows error code, an errno elsewhere) may
// succeed when tried again.
bool CouldStartLater(uint32_t error);

// Calls start until it returns 0 (started), an error that will not pass, or its kStartTries-th
// error, pausing pauseMs before each new try. Returns start's last result. A failed start must
// leave nothing running, so that a new try can never run the program twice.
uint32_t StartPatiently(const std::function<uint32_t()>& start, int pauseMs = kStartPauseMs);

#ifdef _WIN32
struct _STARTUPINFOW;         // STARTUPINFOW of <windows.h>
struct _PROCESS_INFORMATION;  // PROCESS_INFORMATION

// CreateProcessW, patiently: each try gets its own copy of commandLine (CreateProcessW may
// write into it). 0 with info filled in, or the error of the last try.
//
// The program inherits exactly the handles in inherited (HANDLEs, inheritable ones: its
// standard handles), none when it is empty; never any other inheritable handle of this
// process. Programs are started on several threads at once (--jobs, the group probes side by
// side), each with inheritable handles of its own for a moment, and a program that inherited
// another's (a report file) would hold it open, and its folder, as long as it runs.
uint32_t CreateProcessPatiently(const wchar_t* application, const std::wstring& commandLine,
                                const std::vector<void*>& inherited, unsigned long flags,
                                const wchar_t* folder, _STARTUPINFOW& startup, _PROCESS_INFORMATION& info);
#endif
