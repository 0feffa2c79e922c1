#include "ui/taskbar_progress.h"

UINT CTaskbarProgress::ButtonCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
  return message;
}

void CTaskbarProgress::SetWindow(HWND window) {
  window_ = window;
  // Without this a program started as administrator never hears from the shell.
  ChangeWindowMessageFilterEx(window, ButtonCreatedMessage(), MSGFLT_ALLOW, nullptr);
}

void CTaskbarProgress::OnButtonCreated() {
  buttonMade_ = true;
  if (running_) OpenAndShow();
}

void CTaskbarProgress::OnRunStart() {
  running_ = true;
  done_ = 0;
  failed_ = false;
  if (buttonMade_) OpenAndShow();
}

void CTaskbarProgress::OnFileEnd(bool failed) {
  if (!running_ || !failed || failed_) return;
  failed_ = true;
  if (button_) button_->SetState(TASKBAR_ERROR);
}

void CTaskbarProgress::OnProgress(double fraction) {
  if (!running_) return;
  const double clamped = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
  const int done = static_cast<int>(clamped * kTaskbarProgressScale + 0.5);
  // The shell is asked only when the bar would move.
  if (done == done_) return;
  done_ = done;
  if (button_) button_->SetValue(done_, kTaskbarProgressScale);
}

void CTaskbarProgress::OnRunEnd() {
  if (!running_) return;
  running_ = false;
  if (button_) button_->SetState(TASKBAR_NONE);
  button_.reset();
  if (flash && !(isInFront && isInFront(window_))) flash(window_);
}

void CTaskbarProgress::OnWindowGone() {
  running_ = false;
  button_.reset();
}

// A button made anew shows nothing of the run yet, so the whole state goes to it.
void CTaskbarProgress::OpenAndShow() {
  button_.reset();
  if (open) button_ = open(window_);
  if (!button_) return;
  button_->SetState(failed_ ? TASKBAR_ERROR : TASKBAR_NORMAL);
  button_->SetValue(done_, kTaskbarProgressScale);
}

bool IsWindowInFront(HWND window) {
  HWND front = GetForegroundWindow();
  return front && (front == window || GetAncestor(front, GA_ROOTOWNER) == window);
}
