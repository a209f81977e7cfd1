#include "app/browser_site_win32.h"

namespace korvane {

STDMETHODIMP BrowserSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  // IUnknown and IOleWindow each come through more than one base; one of them answers.
  const struct {
    const IID* iid;
    void* pointer;
  } answered[] = {
      {&IID_IUnknown, static_cast<IOleClientSite*>(this)},
      {&IID_IOleClientSite, static_cast<IOleClientSite*>(this)},
      {&IID_IOleWindow, static_cast<IOleInPlaceSite*>(this)},
      {&IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(this)},
      {&IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceFrame*>(this)},
      {&IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(this)},
  };
  for (const auto& a : answered) {
    if (IsEqualIID(iid, *a.iid)) {
      *out = a.pointer;
      AddRef();
      return S_OK;
    }
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BrowserSite::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP BrowserSite::GetMoniker(DWORD, DWORD, IMoniker** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

// The control stands alone: no container to enumerate its siblings.
STDMETHODIMP BrowserSite::GetContainer(IOleContainer** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP BrowserSite::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = host_;
  return host_ ? S_OK : E_FAIL;
}

STDMETHODIMP BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frame_info) {
  if (frame) *frame = nullptr;
  if (document) *document = nullptr;
  if (!frame || !document || !position || !clip || !frame_info) return E_POINTER;
  if (!host_) return E_FAIL;
  *frame = this;
  AddRef();
  GetClientRect(host_, position);
  *clip = *position;
  // The caller has set frame_info->cb.
  frame_info->fMDIApp = FALSE;
  frame_info->hwndFrame = GetAncestor(host_, GA_ROOT);
  frame_info->haccel = nullptr;
  frame_info->cAccelEntries = 0;
  return S_OK;
}

}  // namespace korvane
