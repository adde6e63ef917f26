// The window's colours as RGB, in one table that every front and the state dump read: a model
// colour (0x00BBGGRR) as it is, a system colour by the classic desktop scheme.
#pragma once

#include <cstdint>
#include <string>

#include "model/control.h"

namespace bruvik {

// What a system colour is for, so that a front on a desktop with a palette of its own may take
// the colour from there; None for a colour the window names itself.
enum class ColourRole { None, Highlight, Base, Button, ButtonText, Text, WindowText };

struct ViewColour {
  std::uint32_t rgb = 0;  // 0x00RRGGBB
  ColourRole role = ColourRole::None;
  bool operator==(const ViewColour&) const = default;
};

ViewColour view_colour(Colour colour);

// "#RRGGBB".
std::string colour_text(Colour colour);
// "#RRGGBB" of 0x00RRGGBB.
std::string rgb_text(std::uint32_t rgb);

}  // namespace bruvik
