#pragma once
// Whether a process is still the one a file recorded. A process id is given to another process
// once its own has ended (after a reboot too), so what a process leaves behind for the next one
// to judge (a run's journal) names it by its id and the stamp of its start together.
#include <cstdint>
#include <string>

// This process's id.
uint32_t CurrentProcessId();

// The start of the process with that id, as text that no other process of that id has: on
// Linux the boot it started in and the clock ticks from that boot to its start; on Windows its
// creation time. Empty when no such process is running (none, ended, a zombie not yet reaped, or
// one this user may not look at).
std::wstring ProcessStamp(uint32_t pid);
