#include "ui/pictures.h"

#include <array>
#include <string_view>

namespace bruvik {
namespace {

// 32 x 32 pixel art in the sixteen colours of the classic palette, one character a pixel.
using Grid = std::array<std::string_view, 32>;

QRgb palette_colour(char c) {
  switch (c) {
    case 'k':
      return qRgb(0x00, 0x00, 0x00);
    case 'R':
      return qRgb(0x80, 0x00, 0x00);
    case 'G':
      return qRgb(0x00, 0x80, 0x00);
    case 'o':
      return qRgb(0x80, 0x80, 0x00);
    case 'n':
      return qRgb(0x00, 0x00, 0x80);
    case 'p':
      return qRgb(0x80, 0x00, 0x80);
    case 't':
      return qRgb(0x00, 0x80, 0x80);
    case 'l':
      return qRgb(0xC0, 0xC0, 0xC0);
    case 'g':
      return qRgb(0x80, 0x80, 0x80);
    case 'r':
      return qRgb(0xFF, 0x00, 0x00);
    case 'L':
      return qRgb(0x00, 0xFF, 0x00);
    case 'y':
      return qRgb(0xFF, 0xFF, 0x00);
    case 'b':
      return qRgb(0x00, 0x00, 0xFF);
    case 'm':
      return qRgb(0xFF, 0x00, 0xFF);
    case 'c':
      return qRgb(0x00, 0xFF, 0xFF);
    case 'w':
      return qRgb(0xFF, 0xFF, 0xFF);
    default:
      return qRgba(0, 0, 0, 0);  // '.': transparent
  }
}

// A desktop computer: monitor on its case.
// clang-format off
constexpr Grid kComputer = {
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
constexpr Grid kLightning = {
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
constexpr Grid kFlag = {
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

QImage from_grid(const Grid& grid) {
  QImage image(kPictureSize, kPictureSize, QImage::Format_ARGB32);
  for (int y = 0; y < kPictureSize; ++y) {
    const std::string_view row = grid[static_cast<std::size_t>(y)];
    for (int x = 0; x < kPictureSize; ++x) {
      image.setPixel(x, y, palette_colour(row[static_cast<std::size_t>(x)]));
    }
  }
  return image;
}

}  // namespace

QImage picture_image(Picture picture) {
  switch (picture) {
    case Picture::Computer: {
      static const QImage image = from_grid(kComputer);
      return image;
    }
    case Picture::Lightning: {
      static const QImage image = from_grid(kLightning);
      return image;
    }
    case Picture::Flag: {
      static const QImage image = from_grid(kFlag);
      return image;
    }
    case Picture::None:
      break;
  }
  return QImage();
}

}  // namespace bruvik
