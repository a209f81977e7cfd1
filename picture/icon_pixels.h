// Icon and cursor images as true-colour pixels over white, without the system (native tool and
// tests). DIB-form images only; PNG-form and 16-bit images give nothing.
#pragma once
#include <optional>

#include "picture/picture.h"
#include "picture/true_colour.h"

namespace korvane {

std::optional<TrueColourImage> icon_over_white(ByteSpan bytes, const IconImage& image);

}  // namespace korvane
