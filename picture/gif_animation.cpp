#include "picture/gif_animation.h"

namespace korvane {

bool GifAnimation::make_canvas() {
  canvas_ = GifCanvas::make(stream_.screen_width, stream_.screen_height);
  return canvas_.has_value();
}

bool GifAnimation::step() {
  // Codes 8 and 12 both put back what the frame covered; code 8 paints no background colour.
  if (canvas_) canvas_->restore_saved_area();
  // Only the disposal is reset per frame; transparency and delay carry over from the last
  // graphic control extension when a frame has none of its own.
  stream_.disposal_code = 0;
  if (!next_gif_frame(stream_, frame_)) return false;
  if (!canvas_) return true;
  const uint32_t disposal = stream_.disposal_code;
  if (disposal == 8 || disposal == 12) {
    canvas_->save_area(stream_.frame_left, stream_.frame_top, frame_.width, frame_.height);
  }
  std::optional<uint32_t> key;
  if (stream_.transparency) {
    key = uint32_t{stream_.key_red} << 16 | uint32_t{stream_.key_green} << 8 | stream_.key_blue;
  }
  canvas_->draw_frame(frame_, stream_.frame_left, stream_.frame_top, key);
  return true;
}

uint32_t GifAnimation::delay_ms() const {
  return stream_.delay == 0 ? 50u : uint32_t{stream_.delay} * 10u;
}

bool gif_is_single_image(const GifStream& s) {
  return s.read_position + 1 >= s.stream.size();
}

}  // namespace korvane
