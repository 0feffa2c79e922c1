#pragma once
// What the tests of a stop from outside need of other processes on Windows: their children, and
// a console control event delivered as the system delivers it.
#ifdef _WIN32
#include <string>
#include <vector>

// The ids of the processes that processId started and that are still there; with name, only
// those whose program file is named so (any case).
std::vector<unsigned long> ChildProcessIds(unsigned long processId,
                                           const std::wstring& name = std::wstring());

// Delivers a console control event (CTRL_C_EVENT, CTRL_CLOSE_EVENT...) to the process: the
// system does it by starting kernelbase's CtrlRoutine on a new thread of the process, and so
// does this, the way the user's Ctrl-C or the closing of the console reaches it. False when it
// cannot be delivered.
bool DeliverConsoleEvent(unsigned long processId, unsigned long event);

// Waits up to millis for the process to end; true when it has (or was already gone).
bool WaitForProcessEnd(unsigned long processId, unsigned long millis);
#endif
