#include "view/colours.h"

#include <cstdio>
#include <iterator>

namespace bruvik {
namespace {

constexpr ColourRole kNone = ColourRole::None;
constexpr ColourRole kOther = ColourRole::WindowText;  // a system colour the window leaves alone

// The classic desktop scheme by system colour index, and what each colour is for.
constexpr ViewColour kSystem[] = {
    {0xC0C0C0, kOther},
    {0x008080, kOther},
    {0x000080, kOther},
    {0x808080, kOther},
    {0xC0C0C0, kOther},
    {0xFFFFFF, ColourRole::Base},  // a text box's background
    {0x000000, kOther},
    {0x000000, kOther},
    {0x000000, ColourRole::Text},  // a text box's text; lines and shapes as built
    {0xFFFFFF, ColourRole::Base},
    {0xC0C0C0, kOther},
    {0xC0C0C0, kOther},
    {0x808080, kOther},
    {0x000080, ColourRole::Highlight},
    {0xFFFFFF, kOther},
    {0xC0C0C0, ColourRole::Button},
    {0x808080, kOther},
    {0x808080, kOther},
    {0x000000, ColourRole::ButtonText},
    {0xC0C0C0, kOther},
    {0xFFFFFF, kOther},
    {0x000000, kOther},
    {0xDFDFDF, kOther},
    {0x000000, kOther},
    {0xFFFFE1, kOther},
};

}  // namespace

ViewColour view_colour(Colour colour) {
  if (is_system_colour(colour)) {
    const std::uint32_t index = colour & 0xFFFFFFu;
    return index < std::size(kSystem) ? kSystem[index] : ViewColour{0x000000, kOther};
  }
  return {((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu), kNone};
}

std::string rgb_text(std::uint32_t rgb) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", (rgb >> 16) & 0xFFu, (rgb >> 8) & 0xFFu,
                rgb & 0xFFu);
  return buf;
}

std::string colour_text(Colour colour) {
  return rgb_text(view_colour(colour).rgb);
}

}  // namespace bruvik
