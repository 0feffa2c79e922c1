#pragma once
// What the window does when a run is done, as the user chose beside Start: nothing, close the
// window, put the computer to sleep, or shut it down. The last two go through a seam, so that
// tests can stand in for them and never sleep or shut down the machine they run on.
#include <functional>

// The choices of the "when done" list, in its order.
enum WhenDone : int {
  WHEN_DONE_NOTHING = 0,
  WHEN_DONE_CLOSE,
  WHEN_DONE_SLEEP,
  WHEN_DONE_SHUT_DOWN,
};

// Sleeps (SetSuspendState) or shuts the computer down and powers it off (ExitWindowsEx) with
// the shutdown right that an ordinary account holds, switched on for this process first. True
// when the system took the request; false for any other choice.
bool DoPowerAction(WhenDone action);

using PowerAction = std::function<bool(WhenDone action)>;
