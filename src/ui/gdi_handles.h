#pragma once
// Owners of GDI objects and icons: each deletes its handle exactly once, when it goes.
#include <windows.h>

#include <utility>

template <typename Handle, BOOL(WINAPI* Free)(Handle)>
class CScopedHandle {
 public:
  CScopedHandle() = default;
  explicit CScopedHandle(Handle handle) : handle_(handle) {}
  ~CScopedHandle() { Reset(); }
  CScopedHandle(const CScopedHandle&) = delete;
  CScopedHandle& operator=(const CScopedHandle&) = delete;
  CScopedHandle(CScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  CScopedHandle& operator=(CScopedHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Gives up ownership without deleting.
  Handle Release() { return std::exchange(handle_, nullptr); }
  void Reset(Handle handle = nullptr) {
    if (handle_) Free(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

// DeleteObject takes any GDI object; this wrapper gives it the font's own type.
inline BOOL WINAPI DeleteFontObject(HFONT font) { return DeleteObject(font); }

using CFontHandle = CScopedHandle<HFONT, &DeleteFontObject>;
using CIconHandle = CScopedHandle<HICON, &DestroyIcon>;

// A device context taken with GetDC, given back with ReleaseDC.
class CWindowDC {
 public:
  explicit CWindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~CWindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  CWindowDC(const CWindowDC&) = delete;
  CWindowDC& operator=(const CWindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class CPaintDC {
 public:
  explicit CPaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &paint_); }
  ~CPaintDC() { EndPaint(hwnd_, &paint_); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};
