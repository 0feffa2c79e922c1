#pragma once
// The window's taskbar button as a run uses it: a progress bar in the button, through the
// shell's progress interface (ITaskbarList3), and a flash that asks for the user's attention.
#include <windows.h>

#include <functional>
#include <memory>

// The progress the button shows.
enum TaskbarState {
  TASKBAR_NONE = 0,  // no progress: the button as it always is
  TASKBAR_NORMAL,    // the bar, in its normal colour
  TASKBAR_ERROR,     // the bar in the error colour
};

// The button's progress bar. True when the shell took the call.
class ITaskbarButton {
 public:
  virtual ~ITaskbarButton() = default;
  virtual bool SetState(TaskbarState state) = 0;
  virtual bool SetValue(int done, int total) = 0;
};

// Opens the progress interface of a window's button; null when the system has none.
using TaskbarButtonOpener = std::function<std::unique_ptr<ITaskbarButton>(HWND window)>;
// Asks for the user's attention on a window's button.
using TaskbarButtonFlasher = std::function<void(HWND window)>;

// The shell's own: the taskbar's progress interface, made on this thread (which it joins to
// COM for as long as the interface lives); null when it cannot be made.
std::unique_ptr<ITaskbarButton> OpenTaskbarButton(HWND window);
// Flashes the button until the window comes to the front (FlashWindowEx, FLASHW_TRAY |
// FLASHW_TIMERNOFG).
void FlashTaskbarButton(HWND window);
