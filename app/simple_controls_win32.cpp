// The kinds the main window brings itself: label, button, and the hidden windows of controls
// that show nothing.
#include <string>

#include "app/control_settings.h"
#include "app/control_win32.h"

namespace korvane {
namespace {

HINSTANCE this_module() { return GetModuleHandleA(nullptr); }

const char kHiddenClass[] = "KorvaneHiddenControl";
const char kLabelClass[] = "KorvaneLabel";

void register_class_once(const char* name, WNDPROC procedure) {
  WNDCLASSA existing;
  if (GetClassInfoA(this_module(), name, &existing)) return;
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.hInstance = this_module();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

class Button : public Control {
 public:
  explicit Button(HWND hwnd) : hwnd_(hwnd) {}
  ~Button() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  HWND hwnd() const override { return hwnd_; }

 private:
  HWND hwnd_;
};

// The label paints itself: button face, then its text from the top-left corner, wrapped at
// every "\r\n" and wherever a line is wider than the label.
class Label : public Control {
 public:
  Label(LabelSettings settings) : settings_(std::move(settings)) {}
  ~Label() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  HWND hwnd() const override { return hwnd_; }

  bool create(const ControlPlace& place, HWND parent) {
    register_class_once(kLabelClass, &Label::window_procedure);
    hwnd_ = CreateWindowExA(0, kLabelClass, settings_.text.c_str(), child_style(place), place.left, place.top,
                            place.width, place.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.child_id)), this_module(), this);
    return hwnd_ != nullptr;
  }

 private:
  static LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Label*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
      case WM_ERASEBKGND: return 1;
      case WM_PAINT:
        if (self) {
          self->on_paint(hwnd);
          return 0;
        }
        break;
      case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }

  UINT draw_flags() const {
    UINT flags = DT_NOCLIP;
    if (settings_.horizontal_alignment == 1) flags |= DT_CENTER;
    if (settings_.horizontal_alignment == 2) flags |= DT_RIGHT;
    if (settings_.word_wrap) {
      flags |= DT_WORDBREAK | DT_VCENTER;
    } else {
      flags |= DT_SINGLELINE;
      if (settings_.vertical_alignment == 1) flags |= DT_VCENTER;
      if (settings_.vertical_alignment == 2) flags |= DT_BOTTOM;
    }
    return flags;
  }

  void on_paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    COLORREF background = settings_.background_colour == kButtonFaceColour ? GetSysColor(COLOR_BTNFACE)
                                                                           : settings_.background_colour;
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, settings_.text_colour);
    DrawTextA(dc, settings_.text.c_str(), static_cast<int>(settings_.text.size()), &client, draw_flags());
    SelectObject(dc, old_font);
    EndPaint(hwnd, &ps);
  }

  LabelSettings settings_;
  HWND hwnd_ = nullptr;
};

LRESULT CALLBACK hidden_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace

HWND create_hidden_control_window(HWND parent, const ControlPlace& place) {
  register_class_once(kHiddenClass, hidden_procedure);
  return CreateWindowExA(0, kHiddenClass, "", WS_CHILD | WS_CLIPSIBLINGS, place.left, place.top, place.width,
                         place.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.child_id)),
                         this_module(), nullptr);
}

std::unique_ptr<Control> create_button(ByteSpan record, const ControlPlace& place, HWND parent) {
  std::optional<ButtonSettings> settings = read_button_settings(record);
  if (!settings) return nullptr;
  DWORD style = child_style(place) | WS_TABSTOP | BS_CENTER | BS_VCENTER | BS_MULTILINE |
                (settings->button_type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  HWND hwnd = CreateWindowExA(0, "BUTTON", settings->caption.c_str(), style, place.left, place.top, place.width,
                              place.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.child_id)),
                              this_module(), nullptr);
  if (!hwnd) return nullptr;
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return std::make_unique<Button>(hwnd);
}

std::unique_ptr<Control> create_label(ByteSpan record, const ControlPlace& place, HWND parent) {
  std::optional<LabelSettings> settings = read_label_settings(record);
  if (!settings) return nullptr;
  auto label = std::make_unique<Label>(std::move(*settings));
  if (!label->create(place, parent)) return nullptr;
  return label;
}

}  // namespace korvane
