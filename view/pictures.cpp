#include "view/pictures.h"

namespace bruvik {
namespace {

// A desktop computer: monitor on its case.
// clang-format off
constexpr PictureRows kComputer = {
    "................................",
    "....kkkkkkkkkkkkkkkkkkkkkkkk....",
    "....kwwwwwwwwwwwwwwwwwwwwwgk....",
    "....kwllllllllllllllllllllgk....",
    "....kwlgggggggggggggggggglgk....",
    "....kwlgnnnnnnnnnnnnnnnnglgk....",
    "....kwlgnccccccccccnnnnnglgk....",
    "....kwlgnnnnnnnnnnnnnnnnglgk....",
    "....kwlgncccccccccccccnnglgk....",
    "....kwlgnnnnnnnnnnnnnnnnglgk....",
    "....kwlgncccccccnnnnnnnnglgk....",
    "....kwlgnnnnnnnnnnnnnnnnglgk....",
    "....kwlgncccccccccccnnnnglgk....",
    "....kwlgnwnnnnnnnnnnnnnnglgk....",
    "....kwlgnnnnnnnnnnnnnnnnglgk....",
    "....kwlgggggggggggggggggglgk....",
    "....kwllllllllllllllllllllgk....",
    "....kwgggggggllllllllllLLlgk....",
    "....kwgggggggggggggggggggggk....",
    "....kkkkkkkkkkkkkkkkkkkkkkkk....",
    "...........kggggggggk...........",
    "...........kggggggggk...........",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwgk.",
    ".kwllllllllllllllllllllllllllgk.",
    ".kwllkkkkkkkkkllllggggglllLLlgk.",
    ".kwllgggggggggllllgggggllllllgk.",
    ".kwllllllllllllllllllllllllllgk.",
    ".kwgggggggggggggggggggggggggggk.",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    "..gggggggggggggggggggggggggggg..",
    "................................",
};
// clang-format on

// The collision: a yellow lightning bolt.
// clang-format off
constexpr PictureRows kLightning = {
    "..................ooooooo.......",
    ".................owyyyyo........",
    ".................owyyyyo........",
    "................owyyyyo.........",
    "...............owyyyyo..........",
    "..............owyyyyyo..........",
    "..............owyyyyo...........",
    ".............owyyyyo............",
    "............owyyyyyo............",
    "...........owyyyyyo.............",
    "...........owyyyyo..............",
    "..........owyyyyyyooooooooo.....",
    ".........owyyyyyyyyyyyyyyo......",
    "........owyyyyyyyyyyyyyyo.......",
    "........owyyyyyyyyyyyyyo........",
    ".......owyyyyyyyyyyyyyo.........",
    "......oyyyyyyyyyyyyyyo..........",
    ".....ooooooooyyyyyyyo...........",
    ".............oyyyyyo............",
    ".............oyyyyo.............",
    "............oyyyyo..............",
    "............oyyyo...............",
    "............oyyo................",
    "...........oyyo.................",
    "...........oyo..................",
    "..........oyyo..................",
    "..........oyo...................",
    "..........oo....................",
    ".........oo.....................",
    ".........o......................",
    "........o.......................",
    "................................",
};
// clang-format on

// The station's mark: a small red flag.
// clang-format off
constexpr PictureRows kFlag = {
    "................................",
    "........kkkk....................",
    ".......kyyook...................",
    ".......koyook...................",
    "........kkkk...RRRR.............",
    "........kwgkRRRrrrrRRR....RR....",
    "........kwgkrrrrrrrrrrRRRRrR....",
    "........kwgkrwwrrrrrrrRRrrrR....",
    "........kwgkrrrrrrrrrrRRrrrR....",
    "........kwgkrrrrrrrrrrRRrrrR....",
    "........kwgkrrrrrrrrrrRRrrrR....",
    "........kwgkrrrrrrrrrrRRrrrR....",
    "........kwgkrrrrrrrrrrRRrrrR....",
    "........kwgkrrrrrrrrrrRRrrrR....",
    "........kwgkrrrrrrrrrrRRrrrR....",
    "........kwgkrrrRRRRrrrRRrrrR....",
    "........kwgkRRR....RRRRRrrRR....",
    "........kwgk..........RRRR......",
    "........kwgk....................",
    "........kwgk....................",
    "........kwgk....................",
    "........kwgk....................",
    "........kwgk....................",
    "........kwgk....................",
    "........kwgk....................",
    "........kwgk....................",
    "........kwgk....................",
    "........kwgk....................",
    ".....kkkkwgkkkk.................",
    "....kggggggggggk................",
    "....kkkkkkkkkkkk................",
    "................................",
};
// clang-format on

}  // namespace

const PictureRows* picture_rows(Picture picture) {
  switch (picture) {
    case Picture::Computer:
      return &kComputer;
    case Picture::Lightning:
      return &kLightning;
    case Picture::Flag:
      return &kFlag;
    case Picture::None:
      break;
  }
  return nullptr;
}

std::optional<std::uint32_t> pixel_colour(char pixel) {
  switch (pixel) {
    case 'k':
      return 0x000000;
    case 'R':
      return 0x800000;
    case 'G':
      return 0x008000;
    case 'o':
      return 0x808000;
    case 'n':
      return 0x000080;
    case 'p':
      return 0x800080;
    case 't':
      return 0x008080;
    case 'l':
      return 0xC0C0C0;
    case 'g':
      return 0x808080;
    case 'r':
      return 0xFF0000;
    case 'L':
      return 0x00FF00;
    case 'y':
      return 0xFFFF00;
    case 'b':
      return 0x0000FF;
    case 'm':
      return 0xFF00FF;
    case 'c':
      return 0x00FFFF;
    case 'w':
      return 0xFFFFFF;
    default:
      return std::nullopt;
  }
}

}  // namespace bruvik
