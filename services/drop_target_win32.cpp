#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "services/drop_effect.h"
#include "services/drop_target_win32.h"

namespace korvane {

// The COM object the platform calls during a drag over the registered window. It keeps its own
// copy of the settings and the handler, so a platform reference that outlives the control
// finds a detached object rather than a dangling control.
class EDropTarget final : public IDropTarget {
 public:
  explicit EDropTarget(const DropTargetSettings& settings) : settings_(settings) {}
  EDropTarget(const EDropTarget&) = delete;
  EDropTarget& operator=(const EDropTarget&) = delete;

  void set_got_file_handler(std::function<void(const char*)> handler) { got_file_ = std::move(handler); }
  void detach() { got_file_ = nullptr; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragOver(DWORD key_state, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragLeave() override;
  STDMETHODIMP Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) override;

 private:
  ~EDropTarget() = default;  // only Release deletes

  bool offers(IDataObject* data, CLIPFORMAT format) const;
  bool data_acceptable(IDataObject* data) const;
  void deliver_files(IDataObject* data);

  LONG references_ = 1;
  DropTargetSettings settings_;
  bool acceptable_ = false;
  std::function<void(const char*)> got_file_;
};

namespace {

// Interfaces the object answers. IDropTarget derives from IUnknown alone, so both share the
// object's one interface pointer.
const IID* const kAnsweredInterfaces[] = {&IID_IUnknown, &IID_IDropTarget};

FORMATETC global_memory_format(CLIPFORMAT format) {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

const char kDropTargetWindowClass[] = "KorvaneDropTarget";

bool register_window_class() {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kDropTargetWindowClass;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

STDMETHODIMP EDropTarget::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  for (const IID* answered : kAnsweredInterfaces) {
    if (IsEqualIID(iid, *answered)) {
      *out = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EDropTarget::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

bool EDropTarget::offers(IDataObject* data, CLIPFORMAT format) const {
  FORMATETC f = global_memory_format(format);
  return format != 0 && data->QueryGetData(&f) == S_OK;
}

bool EDropTarget::data_acceptable(IDataObject* data) const {
  if (!data) return false;
  // Asked in this order, and only for the kinds the settings accept.
  if (settings_.accept_text && offers(data, CF_TEXT)) return true;
  if (settings_.accept_files && offers(data, CF_HDROP)) return true;
  if (settings_.accept_links && offers(data, static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator")))) return true;
  if (settings_.accept_html && offers(data, static_cast<CLIPFORMAT>(RegisterClipboardFormatA("HTML Format")))) return true;
  return false;
}

STDMETHODIMP EDropTarget::DragEnter(IDataObject* data, DWORD key_state, POINTL, DWORD* effect) {
  acceptable_ = data_acceptable(data);
  if (!effect) return E_INVALIDARG;
  *effect = drop_effect(acceptable_, key_state, *effect);
  return S_OK;
}

STDMETHODIMP EDropTarget::DragOver(DWORD key_state, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = drop_effect(acceptable_, key_state, *effect);
  return S_OK;
}

STDMETHODIMP EDropTarget::DragLeave() {
  acceptable_ = false;
  return S_OK;
}

void EDropTarget::deliver_files(IDataObject* data) {
  FORMATETC format = global_memory_format(CF_HDROP);
  StorageMedium medium;
  if (data->GetData(&format, medium.out()) != S_OK) return;
  medium.mark_filled();
  if (medium.get().tymed != TYMED_HGLOBAL || !medium.get().hGlobal) return;
  HGLOBAL list = medium.get().hGlobal;
  {
    // The list may come from another process: its offsets are checked before the shell
    // walks it.
    GlobalMemoryLock lock(list);
    if (!drop_files_well_formed(ByteSpan{static_cast<const uint8_t*>(lock.data()), lock.size()})) return;
  }
  HDROP drop = static_cast<HDROP>(list);
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> paths;
  paths.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string path(length + 1, '\0');
    const UINT got = DragQueryFileA(drop, i, &path[0], length + 1);
    path.resize(got <= length ? got : length);
    paths.push_back(std::move(path));
  }
  Text text = got_file_text(paths);
  // A copy: the handler may replace itself or end the control while it runs.
  std::function<void(const char*)> handler = got_file_;
  if (handler) handler(text.c_str());
}

STDMETHODIMP EDropTarget::Drop(IDataObject* data, DWORD key_state, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = drop_effect(acceptable_, key_state, *effect);
  if (*effect != kDropEffectNone && data && settings_.accept_files) {
    AddRef();  // stay alive through the handler
    deliver_files(data);
    Release();
  }
  // The source always hears that the drop did not complete, whatever the handler did.
  return E_FAIL;
}

std::unique_ptr<DropTarget> DropTarget::create(ByteSpan settings_record, const ControlPlace& place, HWND parent) {
  std::optional<DropTargetSettings> settings = parse_drop_target_settings(settings_record);
  if (!settings || !register_window_class()) return nullptr;
  // The control never shows its own window; it only serves the registered one.
  const DWORD style = parent ? WS_CHILD : WS_POPUP;
  HWND window = CreateWindowExA(0, kDropTargetWindowClass, "", style, place.left, place.top, place.width,
                                place.height, parent,
                                parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.child_id)) : nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!window) return nullptr;
  std::unique_ptr<DropTarget> target(new DropTarget());
  target->window_ = WindowOwner(window);
  target->object_ = ComPtr<EDropTarget>(new EDropTarget(*settings));
  return target;
}

DropTarget::~DropTarget() {
  if (registration_made_ && IsWindow(registered_)) RevokeDragDrop(registered_);
  if (object_.get()) object_->detach();
}

bool DropTarget::register_window(HWND window) {
  if (registration_asked_) return false;
  registration_asked_ = true;
  registered_ = window;
  registration_made_ = RegisterDragDrop(window, object_.get()) == S_OK;
  return registration_made_;
}

void DropTarget::set_got_file_handler(std::function<void(const char*)> handler) {
  object_->set_got_file_handler(std::move(handler));
}

IDropTarget* DropTarget::object() const { return object_.get(); }

}  // namespace korvane
