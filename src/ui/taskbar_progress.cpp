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

void CTaskbarProgress::OnRunStart(int fileCount) {
  running_ = true;
  total_ = fileCount;
  finished_ = 0;
  failed_ = false;
  if (buttonMade_) OpenAndShow();
}

void CTaskbarProgress::OnFileEnd(int finished, bool failed) {
  if (!running_) return;
  finished_ = finished;
  if (failed && !failed_) {
    failed_ = true;
    if (button_) button_->SetState(TASKBAR_ERROR);
  }
  if (button_) button_->SetValue(finished_, total_);
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
  button_->SetValue(finished_, total_);
}

bool IsWindowInFront(HWND window) {
  HWND front = GetForegroundWindow();
  return front && (front == window || GetAncestor(front, GA_ROOTOWNER) == window);
}
