#pragma once
// A run's progress on the window's taskbar button: the share of the run done, by the length of
// its media (CBatchProgress), the error state once a file failed, nothing once the run ends; and
// when the run ends while the window is not in front, the button flashes until the user brings
// it back.
//
// The shell makes the button after the window appears and says so with the registered message
// "TaskbarButtonCreated" (again when it makes it anew, after the taskbar itself restarted); the
// progress interface is opened for a run only once that message has come, and released when
// the run ends. Where it never comes or the interface cannot be made (Wine shows no taskbar
// button), the run goes on and only the flash is asked for.
#include <windows.h>

#include <functional>
#include <memory>

#include "ui/taskbar_button.h"

// Whether the window, or a window it owns (a question it asks), is the one the user works in.
bool IsWindowInFront(HWND window);

class CTaskbarProgress {
 public:
  CTaskbarProgress() = default;
  CTaskbarProgress(const CTaskbarProgress&) = delete;
  CTaskbarProgress& operator=(const CTaskbarProgress&) = delete;

  // The number of the registered message "TaskbarButtonCreated".
  static UINT ButtonCreatedMessage();

  // The window whose button it is; the message above is let through to it even when the
  // program runs with more rights than the shell.
  void SetWindow(HWND window);
  // The shell made the button; during a run the interface is opened now and shows the run.
  void OnButtonCreated();
  void OnRunStart();
  // A file has ended; failed: whether any file so far failed or came out short.
  void OnFileEnd(bool failed);
  // The share of the run done, 0 to 1; the button shows it in thousandths.
  void OnProgress(double fraction);
  // Clears the button and releases the interface; flashes the button when the window is not in
  // front.
  void OnRunEnd();
  // The window goes: the interface is released, nothing is shown or flashed.
  void OnWindowGone();

  // How the button is reached, and whether the window is in front: the system's own in the
  // program; tests put fakes here.
  TaskbarButtonOpener open = OpenTaskbarButton;
  TaskbarButtonFlasher flash = FlashTaskbarButton;
  std::function<bool(HWND window)> isInFront = IsWindowInFront;

 private:
  void OpenAndShow();

  HWND window_ = nullptr;
  bool buttonMade_ = false;
  bool running_ = false;
  int done_ = 0;  // thousandths of the run
  bool failed_ = false;
  std::unique_ptr<ITaskbarButton> button_;
};

// The scale of the button's value: a thousandth of the run is the least step it shows.
constexpr int kTaskbarProgressScale = 1000;
