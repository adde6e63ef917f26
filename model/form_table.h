// The window as built: every control of Form1 in one table, and the window's own properties.
#pragma once

#include <array>
#include <span>

#include "model/control.h"

namespace bruvik {

struct BuiltWindow {
  const char* caption;
  int client_width;   // twips
  int client_height;  // twips
  Colour back;
  Colour fore;
};

const BuiltWindow& built_window();
std::span<const BuiltControl> built_controls();

// Where the controls that the window model names sit in built_controls() (a control array: by
// index), found when the table is compiled, so that building a form searches for none.
struct NamedPlaces {
  std::array<int, 2> Text1, Text2, Text3, Text4, Text5;
  std::array<int, 3> Text14;
  std::array<int, 5> Text8;
  int Text6, Text7, Text9, Text10, Text11, Text12, Text13;
  std::array<int, 5> Label1, Label17;
  int Label20, Label29, Label31, Label34;
  std::array<int, 10> Shape1, Image3;
  int Image2;
  int Line1, Line3, Line4;
  int Option1, Option2;
};
extern const NamedPlaces kNamedPlaces;

inline constexpr int kTwipsPerPixel = 15;

}  // namespace bruvik
