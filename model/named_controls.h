// The controls that the logic touches, listed once by window name, and where they sit in the
// built table.
#pragma once

#include <array>

// ONE(Name) for a control, MANY(Name, count) for a control array (indices 0 .. count - 1). Each
// use expands the list into what it needs: the form's members, their places, the tests' checks.
// clang-format off
#define BRUVIK_NAMED_CONTROLS(ONE, MANY)                                                      \
  MANY(Text1, 2) MANY(Text2, 2) MANY(Text3, 2) MANY(Text4, 2) MANY(Text5, 2)                  \
  MANY(Text14, 3) MANY(Text8, 5)                                                              \
  ONE(Text6) ONE(Text7) ONE(Text9) ONE(Text10) ONE(Text11) ONE(Text12) ONE(Text13)            \
  MANY(Label1, 5) MANY(Label17, 5)                                                            \
  ONE(Label20) ONE(Label29) ONE(Label31) ONE(Label34)                                         \
  MANY(Shape1, 10) MANY(Image3, 10) ONE(Image2)                                               \
  ONE(Line1) ONE(Line3) ONE(Line4)                                                            \
  ONE(Option1) ONE(Option2)
// clang-format on

namespace bruvik {

// Their places in built_controls() (a control array: by index), found when the table is
// compiled, so that building a form searches for none.
struct NamedPlaces {
#define BRUVIK_ONE(name) int name;
#define BRUVIK_MANY(name, count) std::array<int, count> name;
  BRUVIK_NAMED_CONTROLS(BRUVIK_ONE, BRUVIK_MANY)
#undef BRUVIK_ONE
#undef BRUVIK_MANY
};
extern const NamedPlaces kNamedPlaces;

}  // namespace bruvik
