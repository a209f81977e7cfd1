#include "app/main_window_win32.h"

#include <algorithm>

namespace korvane {
namespace {

const char kDefaultClassName[] = "WTWindow";
constexpr int kApplicationIcon = 1;
constexpr int kFirstChildId = 100;
constexpr int kChildIdStep = 10;

constexpr int kEventCreated = 0;
constexpr int kEventMayClose = 1;
constexpr int kEventDestroyed = 2;
constexpr int kEventMoved = 3;
constexpr int kEventResized = 4;
constexpr int kEventClicked = 0;

bool key_down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// A control's window holds the focus also when a window inside it (an embedded object's) has it.
bool holds_focus(HWND window, HWND focus) { return focus && (focus == window || IsChild(window, focus)); }

}  // namespace

MainWindow::MainWindow(const WindowDefinition& definition, WindowSettings settings)
    : definition_(definition), settings_(std::move(settings)) {}

MainWindow::~MainWindow() {
  controls_.clear();
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  if (big_icon_) DestroyIcon(big_icon_);
  if (small_icon_) DestroyIcon(small_icon_);
}

std::unique_ptr<MainWindow> MainWindow::build(const WindowDefinition& definition) {
  if (definition.records.empty() || definition.records[0].kind != kKindMainWindow) return nullptr;
  std::optional<WindowSettings> settings = read_window_settings(definition.records[0].settings);
  if (!settings) return nullptr;
  std::unique_ptr<MainWindow> window(new MainWindow(definition, std::move(*settings)));
  if (!window->create_window() || !window->create_controls()) return nullptr;
  window->arrange_controls();

  window->raise_event(kMainWindowControlId, kEventCreated);
  if (IsWindow(window->hwnd_)) window->raise_event(kMainWindowControlId, kEventMoved);
  if (IsWindow(window->hwnd_)) window->raise_event(kMainWindowControlId, kEventResized);
  if (IsWindow(window->hwnd_) && (definition.records[0].state_flags & kStateVisible)) {
    int show = SW_SHOW;
    if (window->settings_.start_position == 2) show = SW_SHOWMINIMIZED;
    if (window->settings_.start_position == 3) show = SW_SHOWMAXIMIZED;
    ShowWindow(window->hwnd_, show);
  }
  return window;
}

bool MainWindow::create_window() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  const char* class_name = settings_.class_name.empty() ? kDefaultClassName : settings_.class_name.c_str();
  WNDCLASSA existing;
  if (!GetClassInfoA(module, class_name, &existing)) {
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &MainWindow::window_procedure;
    wc.hInstance = module;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = class_name;
    if (!RegisterClassA(&wc)) return false;
  }

  DWORD style = WS_CLIPCHILDREN;
  DWORD ex_style = 0;
  const int frame = settings_.frame_style;
  if (frame != 0) {
    if (!settings_.caption.empty() || settings_.control_box) style |= WS_CAPTION;
    if (settings_.control_box) style |= WS_SYSMENU;
    if (frame == 1 || frame == 3 || frame == 5) style |= WS_THICKFRAME;
    if (frame == 3 || frame == 4) ex_style |= WS_EX_TOOLWINDOW;
    if (frame == 5 || frame == 6) ex_style |= WS_EX_CLIENTEDGE;
  } else {
    style |= WS_POPUP;
  }
  if (settings_.maximise_button) style |= WS_MAXIMIZEBOX;
  if (settings_.minimise_button) style |= WS_MINIMIZEBOX;
  if (settings_.always_on_top) ex_style |= WS_EX_TOPMOST;

  const ControlRecord& own = definition_.records[0];
  int left = own.left, top = own.top;
  if (settings_.start_position == 1) {
    left = (GetSystemMetrics(SM_CXSCREEN) - own.width) / 2;
    top = (GetSystemMetrics(SM_CYSCREEN) - own.height) / 2;
  }
  hwnd_ = CreateWindowExA(ex_style, class_name, settings_.caption.c_str(), style, left, top, own.width, own.height,
                          nullptr, nullptr, module, this);
  if (!hwnd_) return false;

  RECT rect;
  GetWindowRect(hwnd_, &rect);
  if (rect.right - rect.left != own.width || rect.bottom - rect.top != own.height)
    MoveWindow(hwnd_, rect.left, rect.top, own.width, own.height, FALSE);

  if (settings_.icon.empty()) {
    big_icon_ = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(kApplicationIcon), IMAGE_ICON, 32, 32, 0));
    small_icon_ = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(kApplicationIcon), IMAGE_ICON, 16, 16, 0));
  }
  if (big_icon_) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
  if (small_icon_) SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (!settings_.movable) DeleteMenu(GetSystemMenu(hwnd_, FALSE), SC_MOVE, MF_BYCOMMAND);
  return true;
}

bool MainWindow::create_controls() {
  const auto& records = definition_.records;
  for (size_t i = 1; i < records.size(); ++i) controls_.push_back(Entry{&records[i], i, nullptr});
  // Created in ascending control id; the child identifiers count up in that order.
  std::vector<Entry*> order;
  for (Entry& e : controls_) order.push_back(&e);
  std::stable_sort(order.begin(), order.end(),
                   [](const Entry* a, const Entry* b) { return a->record->control_id < b->record->control_id; });
  int child_id = kFirstChildId;
  for (Entry* e : order) {
    const ControlRecord& r = *e->record;
    ControlPlace place;
    place.left = r.left;
    place.top = r.top;
    place.width = r.width;
    place.height = r.height;
    place.visible = (r.state_flags & kStateVisible) != 0;
    place.disabled = (r.state_flags & kStateDisabled) != 0;
    place.tab_stop = (r.state_flags & kStateTabStop) != 0;
    place.child_id = child_id;
    child_id += kChildIdStep;
    const uint32_t id = r.control_id;
    EventSink events = [this, id](int event, const char* argument) { raise_event(id, event, argument); };
    switch (r.kind) {
      case kKindLabel: e->control = create_label(r.settings, place, hwnd_); break;
      case kKindButton: e->control = create_button(r.settings, place, hwnd_); break;
      case kKindBrowserBox: e->control = create_browser_box(r.settings, place, hwnd_); break;
      case kKindPictureBox: e->control = create_picture_box(r.settings, place, hwnd_); break;
      case kKindPictureButton: e->control = create_picture_button(r.settings, place, hwnd_, events); break;
      case kKindFileDialog: e->control = create_file_dialog(r.settings, place, hwnd_); break;
      case kKindDropTarget: e->control = create_drop_target(r.settings, place, hwnd_, events); break;
      default: return false;
    }
    if (!e->control || !e->control->hwnd()) return false;
  }
  return true;
}

void MainWindow::arrange_controls() {
  // Re-parent: a control with a parent control becomes that control's child at the same numbers.
  for (Entry& e : controls_) {
    if (e.record->parent_id == 0) continue;
    if (Entry* parent = find(e.record->parent_id)) SetParent(e.control->hwnd(), parent->control->hwnd());
  }
  // Z order down the table: each row directly below the nearest earlier row with the same parent.
  for (size_t i = 0; i < controls_.size(); ++i) {
    HWND insert_after = HWND_TOP;
    for (size_t j = i; j-- > 0;) {
      if (controls_[j].record->parent_id == controls_[i].record->parent_id) {
        insert_after = controls_[j].control->hwnd();
        break;
      }
    }
    SetWindowPos(controls_[i].control->hwnd(), insert_after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (Entry& e : controls_)
    ShowWindow(e.control->hwnd(), (e.record->state_flags & kStateVisible) ? SW_SHOWNA : SW_HIDE);
}

MainWindow::Entry* MainWindow::find(uint32_t control_id) {
  for (Entry& e : controls_)
    if (e.record->control_id == control_id) return &e;
  return nullptr;
}

const MainWindow::Entry* MainWindow::find(uint32_t control_id) const {
  return const_cast<MainWindow*>(this)->find(control_id);
}

HWND MainWindow::window_handle(uint32_t control_id) const {
  if (control_id == kMainWindowControlId) return hwnd_;
  const Entry* e = find(control_id);
  return e ? e->control->hwnd() : nullptr;
}

void MainWindow::raise_event(uint32_t control_id, int event, const char* argument) {
  const ControlRecord* record = nullptr;
  for (const ControlRecord& r : definition_.records)
    if (r.control_id == control_id) record = &r;
  if (!record) return;
  for (const EventBinding& binding : record->events) {
    if (static_cast<int>(binding.event) == event && binding.handler >= 0) {
      run_handler(binding.handler, *this, argument);
      return;
    }
  }
}

// --- keyboard --------------------------------------------------------------------------------

std::vector<HWND> MainWindow::tab_cycle() const {
  std::vector<const Entry*> members;
  for (const Entry& e : controls_) {
    if (e.record->kind != kKindButton && e.record->kind != kKindBrowserBox) continue;
    if (!(e.record->state_flags & kStateTabStop)) continue;
    HWND h = e.control->hwnd();
    if (!IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
    members.push_back(&e);
  }
  // By tab order; equal tab orders by descending row of the control table.
  std::stable_sort(members.begin(), members.end(), [](const Entry* a, const Entry* b) {
    if (a->record->tab_order != b->record->tab_order) return a->record->tab_order < b->record->tab_order;
    return a->row > b->row;
  });
  std::vector<HWND> cycle;
  for (const Entry* e : members) cycle.push_back(e->control->hwnd());
  return cycle;
}

void MainWindow::move_focus(bool backwards) {
  std::vector<HWND> cycle = tab_cycle();
  HWND focus = GetFocus();
  auto at = std::find_if(cycle.begin(), cycle.end(), [focus](HWND h) { return holds_focus(h, focus); });
  if (at == cycle.end()) return;  // focus not on a control: the key is swallowed
  size_t i = static_cast<size_t>(at - cycle.begin());
  size_t n = cycle.size();
  SetFocus(cycle[backwards ? (i + n - 1) % n : (i + 1) % n]);
}

bool MainWindow::pre_translate(const MSG& message) {
  if (message.message != WM_KEYDOWN || !IsWindow(hwnd_)) return false;
  if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
  for (Entry& e : controls_) {
    if (e.record->kind == kKindBrowserBox && holds_focus(e.control->hwnd(), GetFocus()) &&
        e.control->translate_accelerator(message))
      return true;
  }
  const bool ctrl = key_down(VK_CONTROL), shift = key_down(VK_SHIFT), alt = key_down(VK_MENU);
  switch (message.wParam) {
    case VK_TAB:
      if (ctrl || alt) return false;
      move_focus(shift);
      return true;
    case VK_ESCAPE:
      if (ctrl || shift || alt || !settings_.esc_closes) return false;
      SendMessageA(hwnd_, WM_CLOSE, 0, 0);
      return true;
    default:
      return false;
  }
}

// --- window procedure ------------------------------------------------------------------------

LRESULT CALLBACK MainWindow::window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    // The program has no other window: its end is the end of the message loop.
    PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  return self->on_message(message, wparam, lparam);
}

LRESULT MainWindow::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: on_paint(); return 0;
    case WM_COMMAND: on_command(wparam, lparam); return 0;
    case WM_ACTIVATE: on_activate(wparam); return 0;
    case WM_CLOSE:
      // Nothing is bound to may-close: closing is always allowed.
      raise_event(kMainWindowControlId, kEventMayClose);
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY: on_destroy(); return 0;
  }
  return DefWindowProcA(hwnd_, message, wparam, lparam);
}

void MainWindow::on_paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  COLORREF colour = settings_.background_colour == kButtonFaceColour ? GetSysColor(COLOR_BTNFACE)
                                                                      : settings_.background_colour;
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &ps.rcPaint, brush);
  DeleteObject(brush);
  EndPaint(hwnd_, &ps);
}

void MainWindow::on_command(WPARAM wparam, LPARAM lparam) {
  if (HIWORD(wparam) != BN_CLICKED || !lparam) return;
  HWND from = reinterpret_cast<HWND>(lparam);
  for (Entry& e : controls_) {
    if (e.record->kind == kKindButton && e.control->hwnd() == from) {
      raise_event(e.record->control_id, kEventClicked);
      return;
    }
  }
}

void MainWindow::on_activate(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) focus_before_deactivation_ = focus;
    return;
  }
  HWND target = focus_before_deactivation_;
  if (!target || !IsWindow(target) || !IsChild(hwnd_, target)) {
    std::vector<HWND> cycle = tab_cycle();
    target = cycle.empty() ? hwnd_ : cycle.front();
  }
  SetFocus(target);
}

void MainWindow::on_destroy() {
  raise_event(kMainWindowControlId, kEventDestroyed);
  // Controls go before their windows: the picture box stops its player, the drop target
  // revokes its registration.
  controls_.clear();
}

}  // namespace korvane
