// The three pictures of the window as data, drawn for this program: a desktop computer, a
// lightning bolt for the collision and a small red flag for a station's mark. 32 x 32 pixels,
// one character a pixel, in the sixteen colours of the classic palette; each front paints them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/control.h"

namespace bruvik {

inline constexpr int kPictureSize = 32;

using PictureRows = std::array<std::string_view, kPictureSize>;

// Null for Picture::None.
const PictureRows* picture_rows(Picture picture);

// The colour (0x00RRGGBB) of a pixel's character; none for '.', a transparent pixel.
std::optional<std::uint32_t> pixel_colour(char pixel);

}  // namespace bruvik
