// The picture box window (图片框): shows one picture stretched over its client area on its
// background brush, and plays animated GIFs on a worker thread of its own.
//
// Pictures are scaled by our own scaler (area averaging on displays deeper than 16 bits, nearest
// pixel otherwise) and the result is cached, so a repaint copies W x H pixels whatever the size
// of the picture. The GIF player composes each frame on the canvas and draws the scaled canvas
// straight into the window, under the canvas lock that painting takes too. The player is stopped,
// and waited for, before the picture is replaced and before the window goes away.
#pragma once
#include <windows.h>

#include <memory>

#include "values/bytes.h"
#include "values/control_place.h"

namespace korvane {

class PictureBox {
 public:
  // The window is created hidden (WS_CHILD | WS_CLIPSIBLINGS) at `place`, with child id
  // place.child_id; the builder shows it. Null when the record is refused or no window is made.
  static std::unique_ptr<PictureBox> create(ByteSpan settings_record, const ControlPlace& place, HWND parent);
  ~PictureBox();
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  HWND hwnd() const;

  // The picture property (10): replaces whatever was shown, then repaints. Bytes that are empty,
  // unrecognised or refused leave the box showing its background only.
  void set_picture(ByteSpan bytes);

  // The running GIF player's thread (borrowed), or null when no player runs. For measurements.
  HANDLE player_thread() const;

  // Icons, threads and events currently held by all picture boxes (GDI objects are counted by
  // live_gdi_objects()). For leak checks where the platform counts nothing.
  static long live_handles();

  class State;

 private:
  PictureBox();
  std::unique_ptr<State> state_;
};

}  // namespace korvane
