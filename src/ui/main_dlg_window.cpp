// Window-level behaviour of the main dialog: the position kept between runs, the minimised
// icon, the system menu's About item, the queued-message filter and the end of the window.
#include <cstdio>

#include "base/trace.h"
#include "ui/about_dlg.h"
#include "ui/control_ids.h"
#include "ui/main_dlg.h"

bool CMainDlg::SaveWindowPos() {
  RECT rect{};
  if (!Hwnd() || !GetWindowRect(Hwnd(), &rect)) return false;
  // A minimised window reports a corner far off screen (-32000), so it is never saved.
  if (rect.left < kSavedPositionMin || rect.left > kSavedPositionMax) return false;
  if (rect.top < kSavedPositionMin || rect.top > kSavedPositionMax) return false;
  if (!registryStore) return false;
  registryStore->SetInt(kWindowXValue, static_cast<uint32_t>(rect.left));
  registryStore->SetInt(kWindowYValue, static_cast<uint32_t>(rect.top));
  return true;
}

void CMainDlg::RestoreWindowPos() {
  if (!Hwnd() || !registryStore) return;
  uint32_t x = 0;
  uint32_t y = 0;
  if (registryStore->GetInt(kWindowXValue, x) == -1) return;
  if (registryStore->GetInt(kWindowYValue, y) == -1) return;
  if (x == 0 || y == 0) return;

  RECT rect{};
  if (!GetWindowRect(Hwnd(), &rect)) return;
  CWindowDC screen(nullptr);
  int width = GetDeviceCaps(screen.Get(), HORZRES);
  int height = GetDeviceCaps(screen.Get(), VERTRES);
  if (width < 10 || height < 10) return;
  // Unsigned on purpose: a negative stored value counts as very large and is replaced.
  if (x >= static_cast<uint32_t>(width - 100)) x = static_cast<uint32_t>(width / 2);
  if (y >= static_cast<uint32_t>(height - 100)) y = static_cast<uint32_t>(height / 2);
  MoveWindow(Hwnd(), static_cast<int>(x), static_cast<int>(y), rect.right - rect.left, rect.bottom - rect.top,
             TRUE);
}

bool CMainDlg::OnSysCommand(UINT id, LPARAM) {
  if ((id & 0xFFF0) != IDM_ABOUTBOX) return false;  // move, minimise, close: the default
  CAboutDlg about;
  about.DoModal(Hwnd());
  return true;
}

bool CMainDlg::OnPaint() {
  if (!IsIconic(Hwnd())) return false;
  CPaintDC dc(Hwnd());
  SendMessageW(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
  int cx = GetSystemMetrics(SM_CXICON);
  int cy = GetSystemMetrics(SM_CYICON);
  RECT client{};
  GetClientRect(Hwnd(), &client);
  int x = (client.right - client.left - cx + 1) / 2;
  int y = (client.bottom - client.top - cy + 1) / 2;
  DrawIcon(dc.Get(), x, y, appIcon.Get());
  return true;
}

bool CMainDlg::PreTranslateMessage(MSG* msg) {
  // A posted OK must not end the window; Enter reaches OnOK directly and still does.
  if (msg->message == WM_COMMAND && msg->wParam == IDOK) return true;
  if ((msg->message == WM_COMMAND || msg->message == WM_SYSCOMMAND) && msg->wParam == 20) {
    DebugLog(L"PreTranslateMessage-WM_SYSCOMMAND-%d", 20);
  }
  return CDialogBase::PreTranslateMessage(msg);
}

void CMainDlg::OnDestroy() {
  // A run still going loses its window: from here on the worker reports nothing, starts no
  // further command and touches only what the run owns. A command already running goes on in
  // its own console.
  batchWorker.Detach();
  batchHost_.reset();
  taskbarProgress.OnWindowGone();
  SaveWindowPos();
  SaveOptions();
  // The streams of a run that goes on (the probe's report) are its own: only a program with no
  // run left closes every stream.
  if (BatchThreadsAlive() == 0) _fcloseall();
  registryStore.reset();
}
