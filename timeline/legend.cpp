#include "timeline/legend.h"

#include <array>

namespace bruvik {
namespace {

enum class Swatch { Good, Overlapped, Counted, BusBusy, SensedBusy, Deferred, Boundary, Cursor };

struct Item {
  Swatch swatch;
  const char* text;
};

constexpr std::array<Item, 8> kItems{{
    {Swatch::Good, "frame on the bus"},
    {Swatch::Overlapped, "overlapped (hatched: the overlap)"},
    {Swatch::Counted, "counted collision"},
    {Swatch::BusBusy, "bus drawn busy"},
    {Swatch::SensedBusy, "found the bus busy"},
    {Swatch::Deferred, "deferred (p-persistent)"},
    {Swatch::Boundary, "method begins"},
    {Swatch::Cursor, "now"},
}};

constexpr double kSwatch = 16;
constexpr double kGap = 12;

double item_width(const TimelineStyle& style, const TextMeasure& measure, const Item& item) {
  return kSwatch + 4 + measure.width(style.font, item.text) + kGap;
}

Rect inset(const Rect& r, double dy) {
  return {r.x, r.y + dy, r.w, r.h - 2 * dy};
}

void add_swatch(std::vector<Primitive>& out, const Rect& r, Swatch s, const TimelineStyle& style) {
  const Point c = r.centre();
  switch (s) {
    case Swatch::Good:
      out.push_back(Fill{inset(r, 2), style.good_frame});
      break;
    case Swatch::Overlapped:
      out.push_back(Fill{inset(r, 2), style.overlapped_frame});
      out.push_back(Hatch{inset(r, 2), style.hatch, 4, 1});
      break;
    case Swatch::Counted:
      out.push_back(Mark{MarkShape::Cross, c, r.h - 3, style.counted, 2});
      break;
    case Swatch::BusBusy:
      out.push_back(Fill{inset(r, 3), style.bus_busy});
      break;
    case Swatch::SensedBusy:
      out.push_back(Mark{MarkShape::Triangle, c, 7, style.sensed_busy, 0});
      break;
    case Swatch::Deferred:
      out.push_back(Mark{MarkShape::Diamond, c, 8, style.deferred, 1.5});
      break;
    case Swatch::Boundary:
      out.push_back(Line{{c.x, r.top()}, {c.x, r.bottom()}, style.boundary, 1, true});
      break;
    case Swatch::Cursor:
      out.push_back(Line{{c.x, r.top()}, {c.x, r.bottom()}, style.cursor, 2, false});
      break;
  }
}

}  // namespace

double legend_height(double width, const TimelineStyle& style, const TextMeasure& measure) {
  const double line = measure.height(style.font) + 6;
  double x = 0;
  int lines = 1;
  for (const Item& item : kItems) {
    const double w = item_width(style, measure, item);
    if (x > 0 && x + w > width) {
      ++lines;
      x = 0;
    }
    x += w;
  }
  return lines * line + 2;
}

void add_legend(std::vector<Primitive>& out, const Rect& area, const TimelineStyle& style,
                const TextMeasure& measure) {
  const double height = measure.height(style.font);
  const double line = height + 6;
  double x = area.left();
  double y = area.top() + 2;
  for (const Item& item : kItems) {
    const double w = item_width(style, measure, item);
    if (x > area.left() && x + w > area.right()) {
      x = area.left();
      y += line;
    }
    add_swatch(out, {x, y + (line - height) / 2, kSwatch, height}, item.swatch, style);
    // Centred on the line, as the swatch is.
    out.push_back(Text{{x + kSwatch + 4, y + (line - height) / 2 + measure.ascent(style.font)},
                       item.text,
                       style.text,
                       style.font,
                       w - kSwatch - 4});
    x += w;
  }
}

}  // namespace bruvik
