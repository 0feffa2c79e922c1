#include "ui/folder_picker.h"

#include <objbase.h>
#include <shobjidl.h>

#include "base/file_util.h"

namespace {

// Releases a COM interface when it goes.
template <typename T>
class CComRef {
 public:
  CComRef() = default;
  ~CComRef() {
    if (pointer_) pointer_->Release();
  }
  CComRef(const CComRef&) = delete;
  CComRef& operator=(const CComRef&) = delete;
  T* operator->() const { return pointer_; }
  T** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  T* pointer_ = nullptr;
};

std::wstring ShowPicker(HWND owner, const std::wstring& start, const std::wstring& title) {
  CComRef<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                              dialog.OutVoid())) ||
      !dialog) {
    return std::wstring();
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  // A folder of the file system that exists: the check at Start would refuse anything else.
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(title.c_str());
  if (!start.empty() && IsDirectory(start)) {
    CComRef<IShellItem> folder;
    if (SUCCEEDED(SHCreateItemFromParsingName(start.c_str(), nullptr, IID_IShellItem, folder.OutVoid())) &&
        folder)
      dialog->SetFolder(folder.operator->());
  }
  if (FAILED(dialog->Show(owner))) return std::wstring();  // cancelled
  CComRef<IShellItem> chosen;
  if (FAILED(dialog->GetResult(chosen.Out())) || !chosen) return std::wstring();
  wchar_t* path = nullptr;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::wstring();
  std::wstring folder = path;
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

std::wstring PickFolder(HWND owner, const std::wstring& start, const std::wstring& title) {
  // Only a join made here is undone here; a thread already in COM keeps its own.
  const bool joined = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  std::wstring folder = ShowPicker(owner, start, title);
  if (joined) CoUninitialize();
  return folder;
}
