// The picture button control (图形按钮, PicBtn): a borderless child window that paints one of its
// up to four pictures unscaled at its top-left corner over black, and, with a transparent colour
// set, takes the shape of that picture's other pixels, so whatever lies beneath shows through the
// rest of its rectangle. Presses, hovering and releases move it between its normal, hover and
// pressed states; a release over it raises the click.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "picture/picture_button.h"
#include "values/bytes.h"
#include "values/control_place.h"

namespace korvane {

class PictureButton {
 public:
  // The window is created hidden (WS_CHILD | WS_CLIPSIBLINGS, plus WS_DISABLED and WS_TABSTOP as
  // `place` says) with child id place.child_id; the builder shows it with SW_SHOWNA. Null when
  // the record is refused or no window can be made. The record is only read during the call.
  static std::unique_ptr<PictureButton> create(ByteSpan settings_record, const ControlPlace& place, HWND parent);
  ~PictureButton();
  PictureButton(const PictureButton&) = delete;
  PictureButton& operator=(const PictureButton&) = delete;

  // Null once the window has been destroyed (with its parent, for instance).
  HWND hwnd() const;
  void set_click_handler(std::function<void()> handler);

  ButtonState state() const;
  bool checked() const;

  class Window;

 private:
  explicit PictureButton(std::unique_ptr<Window> window);
  std::unique_ptr<Window> window_;
};

}  // namespace korvane
