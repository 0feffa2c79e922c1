#include "ui/taskbar_button.h"

#include <objbase.h>
#include <shobjidl.h>

#include "base/trace.h"

namespace {

TBPFLAG ShellState(TaskbarState state) {
  switch (state) {
    case TASKBAR_NORMAL:
      return TBPF_NORMAL;
    case TASKBAR_ERROR:
      return TBPF_ERROR;
    default:
      return TBPF_NOPROGRESS;
  }
}

class CShellTaskbarButton : public ITaskbarButton {
 public:
  // comJoined: this object's CoInitializeEx succeeded and is undone with it.
  CShellTaskbarButton(HWND window, ITaskbarList3* list, bool comJoined)
      : window_(window), list_(list), comJoined_(comJoined) {}
  ~CShellTaskbarButton() override {
    list_->Release();
    if (comJoined_) CoUninitialize();
  }
  CShellTaskbarButton(const CShellTaskbarButton&) = delete;
  CShellTaskbarButton& operator=(const CShellTaskbarButton&) = delete;

  bool SetState(TaskbarState state) override {
    return SUCCEEDED(list_->SetProgressState(window_, ShellState(state)));
  }
  bool SetValue(int done, int total) override {
    if (done < 0 || total <= 0) return false;
    return SUCCEEDED(
        list_->SetProgressValue(window_, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(total)));
  }

 private:
  const HWND window_;
  ITaskbarList3* const list_;
  const bool comJoined_;
};

}  // namespace

std::unique_ptr<ITaskbarButton> OpenTaskbarButton(HWND window) {
  // A thread that already belongs to COM in the other model can still make the object; only a
  // join made here is undone here.
  HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const bool comJoined = SUCCEEDED(joined);
  ITaskbarList3* list = nullptr;
  HRESULT made = CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                  reinterpret_cast<void**>(&list));
  if (SUCCEEDED(made) && list && SUCCEEDED(list->HrInit()))
    return std::make_unique<CShellTaskbarButton>(window, list, comJoined);
  DebugLog(L"TaskbarList-%08x-%08x", static_cast<unsigned>(joined), static_cast<unsigned>(made));
  if (list) list->Release();
  if (comJoined) CoUninitialize();
  return nullptr;
}

void FlashTaskbarButton(HWND window) {
  FLASHWINFO flash{};
  flash.cbSize = sizeof(flash);
  flash.hwnd = window;
  flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
  FlashWindowEx(&flash);
}
