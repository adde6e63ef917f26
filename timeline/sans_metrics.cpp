#include "timeline/sans_metrics.h"

#include <array>
#include <cstdint>

namespace bruvik {
namespace {

// In 2048ths of the pixel size, read once from the installed Liberation Sans (Qt, at 2048 px).
constexpr double kUnits = 2048;
constexpr double kAscent = 1854;
constexpr double kDescent = 434;
constexpr double kEllipsis = 2048;  // U+2026, the one character beyond ASCII the layout writes

// Space to tilde.
constexpr std::array<std::uint16_t, 95> kRegular{
    569,  569,  727,  1139, 1139, 1821, 1366, 391,  682,  682,  797,  1196, 569,  682,  569,  569,
    1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 569,  569,  1196, 1196, 1196, 1139,
    2079, 1366, 1366, 1479, 1479, 1366, 1251, 1593, 1479, 569,  1024, 1366, 1139, 1706, 1479, 1593,
    1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251, 569,  569,  569,  961,  1139,
    682,  1139, 1139, 1024, 1139, 1139, 569,  1139, 1139, 455,  455,  1024, 455,  1706, 1139, 1139,
    1139, 1139, 682,  1024, 569,  1139, 1024, 1479, 1024, 1024, 1024, 684,  532,  684,  1196};
constexpr std::array<std::uint16_t, 95> kBold{
    569,  682,  971,  1139, 1139, 1821, 1479, 487,  682,  682,  797,  1196, 569,  682,  569,  569,
    1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 682,  682,  1196, 1196, 1196, 1251,
    1997, 1479, 1479, 1479, 1479, 1366, 1251, 1593, 1479, 569,  1139, 1479, 1251, 1706, 1479, 1593,
    1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251, 682,  569,  682,  1196, 1139,
    682,  1139, 1251, 1139, 1251, 1139, 682,  1251, 1251, 569,  569,  1139, 569,  1821, 1251, 1251,
    1251, 1251, 797,  1139, 682,  1251, 1139, 1593, 1139, 1139, 1024, 797,  573,  797,  1196};

}  // namespace

double SansMetrics::width(const TextFont& font, std::string_view text) const {
  const auto& advances = font.bold ? kBold : kRegular;
  double units = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 32 && c < 127) {
      units += advances[c - 32];
    } else if (c >= 0xC0 || c < 0x80) {
      // The first byte of any other character: an ellipsis's width, a wide one's.
      units += kEllipsis;
    }
  }
  return units * font.pixels / kUnits;
}

double SansMetrics::ascent(const TextFont& font) const {
  return kAscent * font.pixels / kUnits;
}

double SansMetrics::descent(const TextFont& font) const {
  return kDescent * font.pixels / kUnits;
}

}  // namespace bruvik
