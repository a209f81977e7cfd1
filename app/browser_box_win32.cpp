// The 1 x 1 browser box. Where the platform can make the web-browser control it is created and
// set up (offline off, silent on, text size from the record) in an inert host window; where it
// cannot (Wine without its HTML engine), the host window alone stands in: a 1 x 1 child that
// takes the focus in the Tab cycle and shows nothing.
#include <exdisp.h>
#include <ole2.h>

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
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  HWND hwnd() const override { return hwnd_; }

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
    if (SUCCEEDED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IWebBrowser2,
                                   browser_.put_void()))) {
      browser_->put_Offline(settings.offline ? VARIANT_TRUE : VARIANT_FALSE);
      browser_->put_Silent(settings.silent ? VARIANT_TRUE : VARIANT_FALSE);
      VARIANT zoom;
      VariantInit(&zoom);
      zoom.vt = VT_I4;
      zoom.lVal = settings.text_size;
      browser_->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &zoom, nullptr);
    }
    return true;
  }

 private:
  HWND hwnd_ = nullptr;
  ComPtr<IWebBrowser2> browser_;
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
