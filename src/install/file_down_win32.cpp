#include <urlmon.h>
#include <windows.h>
#include <wininet.h>

#include "install/download_policy.h"
#include "install/file_down.h"

namespace {

// Hears the HTTP status of a download and the redirects on its way. URLDownloadToFileW
// reports success for an error answer too and stores the host's error page, which must not
// pass for the archive; and it follows redirects by itself, so each one is judged here.
class CDownloadStatus : public IBindStatusCallback, public IHttpNegotiate {
 public:
  DWORD StatusCode() const { return statusCode_; }
  bool RedirectRefused() const { return redirectRefused_ != 0; }

  // IUnknown: the object lives on the heap and goes with its last reference, since urlmon may
  // hold it a little longer than the call.
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
      *object = static_cast<IBindStatusCallback*>(this);
    } else if (IsEqualIID(riid, IID_IHttpNegotiate)) {
      *object = static_cast<IHttpNegotiate*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IBindStatusCallback: nothing to add to the download itself.
  STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
  // A redirect to an address that is not HTTPS ends the download (E_ABORT cancels it).
  STDMETHODIMP OnProgress(ULONG, ULONG, ULONG statusCode, LPCWSTR statusText) override {
    if (statusCode != BINDSTATUS_REDIRECTING) return S_OK;
    if (statusText != nullptr && IsRedirectAllowed(statusText)) return S_OK;
    InterlockedExchange(&redirectRefused_, 1);
    return E_ABORT;
  }
  STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
  STDMETHODIMP GetBindInfo(DWORD*, BINDINFO*) override { return E_NOTIMPL; }
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

  // IHttpNegotiate
  STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) override {
    if (additionalHeaders != nullptr) *additionalHeaders = nullptr;
    return S_OK;
  }
  STDMETHODIMP OnResponse(DWORD statusCode, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) override {
    if (additionalHeaders != nullptr) *additionalHeaders = nullptr;
    statusCode_ = statusCode;
    return S_OK;
  }

 private:
  virtual ~CDownloadStatus() = default;

  LONG references_ = 1;
  DWORD statusCode_ = 0;  // 0 while no HTTP answer was heard
  LONG redirectRefused_ = 0;
};

}  // namespace

DownloadStatus DownloadToFile(const std::wstring& url, const std::wstring& path) {
  if (!IsDownloadAddressAllowed(url)) return DOWNLOAD_REFUSED_ADDRESS;
  // The download lands beside the target under a temporary name and takes the target's name
  // only when complete, so an interrupted download never passes for the archive.
  std::wstring partial = path + L".download";
  DeleteFileW(partial.c_str());
  // Always from the host: a copy in the system's download cache may be an older list or archive.
  DeleteUrlCacheEntryW(url.c_str());
  CDownloadStatus* status = new CDownloadStatus;
  HRESULT result = URLDownloadToFileW(nullptr, url.c_str(), partial.c_str(), 0, status);
  DWORD statusCode = status->StatusCode();
  bool refused = status->RedirectRefused();
  status->Release();
  bool answered = statusCode == 0 || (statusCode >= 200 && statusCode < 300);
  bool ok = !refused && result == S_OK && answered &&
            MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  if (!ok) DeleteFileW(partial.c_str());
  if (refused) return DOWNLOAD_REFUSED_REDIRECT;
  return ok ? DOWNLOAD_OK : DOWNLOAD_FAILED;
}
