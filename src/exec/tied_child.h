#pragma once
// The programs this process starts end when this process ends, however it ends (a SIGKILL, a
// crash, TerminateProcess), so no conversion goes on writing for a run that is gone.
//
// POSIX (Linux): the child asks the kernel for SIGKILL at its parent's death (PR_SET_PDEATHSIG)
// before it becomes the program. That signal follows the thread that started the child, not the
// whole process; every starter in exec/ waits for its child on the thread that started it, so
// that thread outlives the child and the signal comes exactly when the process itself ends (a
// SIGKILL, or an _exit while other threads still wait). A program is started with fork and
// exec (posix_spawn offers no parent-death signal), and its standard input is always the null
// device: a started program never reads what the caller meant for kestrune (a list piped into a
// loop, keys typed at a terminal) and never changes the terminal's settings.
//
// Windows: the program, created suspended, is put into a job of this process that ends its
// members when its last handle closes; only this process holds that handle and hands it to no
// child, so the end of this process ends them.
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/types.h>

// Where a started program's standard output and error lead; descriptor 0 is always the null
// device.
struct ChildStreams {
  std::string outputFile;    // descriptor 1: this file, made or emptied; empty: this process's own
  std::string errorFile;     // descriptor 2 likewise, unless errorDescriptor is given
  int errorDescriptor = -1;  // descriptor 2: a copy of this one (a pipe's write end)
};

// Starts the program argv[0] (a path, not searched for) with argv and this process's
// environment, tried again when its start fails for a moment (process_start.h). 0 with pid
// set, or the errno that kept it from starting (nothing left running).
int StartTiedChild(const std::vector<std::string>& argv, const ChildStreams& streams, pid_t& pid);
#else
// Puts a process this one created (suspended, so it has started nothing yet) into the job that
// ends it with this process. False when the system refuses; the program then runs untied.
bool TieToThisProcess(void* process);
#endif
