// The 1 x 1 browser box. Where the platform can make the web-browser control it is embedded in
// place in the host window (through the container site of browser_site_win32.h) and set up
// (offline off, silent on, text size from the record); while the box has the focus, keys are
// offered to it first. Where it cannot be made or embedded (Wine without its HTML engine may
// refuse either), the host window alone stands in: a 1 x 1 child that takes the focus in the Tab
// cycle and shows nothing. The host keeps the keyboard focus itself: nothing is ever loaded, so
// the control has nothing of its own to focus.
#include <exdisp.h>
#include <ole2.h>

#include "app/browser_site_win32.h"
#include "app/control_settings.h"
#include "app/control_win32.h"
#include "values/com_ptr.h"

namespace korvane {
namespace {

const char kBrowserHostClass[] = "KorvaneBrowserBox";

LRESULT CALLBACK host_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      FillRect(ps.hdc, &ps.rcPaint, GetSysColorBrush(COLOR_WINDOW));
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

class BrowserBox : public Control {
 public:
  ~BrowserBox() override {
    unembed();
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  HWND hwnd() const override { return hwnd_; }

  bool translate_accelerator(const MSG& message) override {
    if (!active_object_) return false;
    MSG copy = message;
    return active_object_->TranslateAccelerator(&copy) == S_OK;
  }

  bool create(const BrowserSettings& settings, const ControlPlace& place, HWND parent) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (!GetClassInfoA(module, kBrowserHostClass, &existing)) {
      WNDCLASSA wc = {};
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = host_procedure;
      wc.hInstance = module;
      wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
      wc.lpszClassName = kBrowserHostClass;
      RegisterClassA(&wc);
    }
    hwnd_ = CreateWindowExA(0, kBrowserHostClass, "", child_style(place), place.left, place.top, place.width,
                            place.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.child_id)),
                            module, nullptr);
    if (!hwnd_) return false;
    // The control itself is optional: nothing is ever loaded into it (no start address).
    if (!embed()) return true;
    browser_->put_Offline(settings.offline ? VARIANT_TRUE : VARIANT_FALSE);
    browser_->put_Silent(settings.silent ? VARIANT_TRUE : VARIANT_FALSE);
    VARIANT zoom;
    VariantInit(&zoom);
    zoom.vt = VT_I4;
    zoom.lVal = settings.text_size;
    browser_->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &zoom, nullptr);
    return true;
  }

 private:
  // Makes the control and activates it in place over the host's client area; on any refusal
  // undoes what was done and leaves the host window alone.
  bool embed() {
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IWebBrowser2,
                                browser_.put_void())) ||
        FAILED(browser_->QueryInterface(IID_IOleObject, object_.put_void()))) {
      unembed();
      return false;
    }
    site_.reset(new BrowserSite(hwnd_));
    if (FAILED(object_->SetClientSite(site_.get()))) {
      unembed();
      return false;
    }
    client_site_set_ = true;
    RECT area;
    GetClientRect(hwnd_, &area);
    if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, hwnd_, &area)) ||
        FAILED(browser_->QueryInterface(IID_IOleInPlaceActiveObject, active_object_.put_void()))) {
      unembed();
      return false;
    }
    return true;
  }

  // Teardown in the order the control expects. Deactivating an object that never became active
  // does nothing, so the one path serves a refused activation as well.
  void unembed() {
    active_object_.reset();
    if (object_) {
      ComPtr<IOleInPlaceObject> in_place;
      if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, in_place.put_void())))
        in_place->InPlaceDeactivate();
      if (client_site_set_) object_->SetClientSite(nullptr);
      object_->Close(OLECLOSE_NOSAVE);
    }
    client_site_set_ = false;
    object_.reset();
    browser_.reset();
    if (site_) site_->detach();
    site_.reset();
  }

  HWND hwnd_ = nullptr;
  ComPtr<IWebBrowser2> browser_;
  ComPtr<IOleObject> object_;
  ComPtr<IOleInPlaceActiveObject> active_object_;
  ComPtr<BrowserSite> site_;
  bool client_site_set_ = false;
};

}  // namespace

std::unique_ptr<Control> create_browser_box(ByteSpan record, const ControlPlace& place, HWND parent) {
  std::optional<BrowserSettings> settings = read_browser_settings(record);
  if (!settings) return nullptr;
  auto box = std::make_unique<BrowserBox>();
  if (!box->create(*settings, place, parent)) return nullptr;
  return box;
}

}  // namespace korvane
