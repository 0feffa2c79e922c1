#pragma once
// The only direct process start: runs the program named at the head of a command line (an
// ".exe" or ".bat", quoted or not) in its own folder, hidden or shown, and waits for its end.
#include <cstdint>
#include <string>

// Returns the process id after the program has ended, or 0 when nothing could be started.
uint32_t AppCreate(const std::wstring& commandLine, bool show);
