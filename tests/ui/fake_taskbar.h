#pragma once
// A taskbar button that writes down what a run asks of it, in order: "open" (or "open: none"
// where the system has no taskbar interface), "state normal", "state error", "state none",
// "value 2/5", "released", and "flash" for the flash of the button. Calls on the window's
// thread only.
#include <memory>
#include <string>
#include <vector>

#include "base/format.h"
#include "ui/taskbar_progress.h"

using TaskbarLog = std::shared_ptr<std::vector<std::wstring>>;

class CFakeTaskbarButton : public ITaskbarButton {
 public:
  explicit CFakeTaskbarButton(TaskbarLog log) : log_(std::move(log)) {}
  ~CFakeTaskbarButton() override { log_->push_back(L"released"); }
  bool SetState(TaskbarState state) override {
    static const wchar_t* const names[] = {L"none", L"normal", L"error"};
    log_->push_back(std::wstring(L"state ") + names[state]);
    return true;
  }
  bool SetValue(int done, int total) override {
    log_->push_back(Sprintf(L"value %d/%d", done, total));
    return true;
  }

 private:
  TaskbarLog log_;
};

// Puts the fakes into progress. shellHasOne false: the interface cannot be made, as where the
// system has no taskbar. inFront, when given, says whether the window is in front (true until
// the test says otherwise); without it the system's answer counts.
inline TaskbarLog UseFakeTaskbar(CTaskbarProgress& progress, bool shellHasOne = true,
                                 std::shared_ptr<bool> inFront = nullptr) {
  auto log = std::make_shared<std::vector<std::wstring>>();
  if (inFront) progress.isInFront = [inFront](HWND) { return *inFront; };
  progress.open = [log, shellHasOne](HWND) -> std::unique_ptr<ITaskbarButton> {
    log->push_back(shellHasOne ? L"open" : L"open: none");
    if (!shellHasOne) return nullptr;
    return std::make_unique<CFakeTaskbarButton>(log);
  };
  progress.flash = [log](HWND) { log->push_back(L"flash"); };
  return log;
}
