// A picture as plain data, for any front to draw: fills, hatched fills, lines, marks and texts in
// drawing order, with each frame's box for the hit test. No toolkit: colours are RGB, places are
// doubles in pixels, texts are measured through TextMeasure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "history/bus_frames.h"

namespace bruvik {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  std::uint8_t a = 255;
  bool operator==(const Rgb&) const = default;
};

struct Point {
  double x = 0, y = 0;
};

struct Rect {
  double x = 0, y = 0, w = 0, h = 0;
  double left() const { return x; }
  double top() const { return y; }
  double right() const { return x + w; }
  double bottom() const { return y + h; }
  Point centre() const { return {x + w / 2, y + h / 2}; }
  // Left and top edges in, right and bottom out, as a fill covers pixels by their centres.
  bool contains(Point p) const { return p.x >= x && p.x < x + w && p.y >= y && p.y < y + h; }
};

// Liberation Sans (or a font of the same widths) at a pixel size.
struct TextFont {
  double pixels = 11;
  bool bold = false;
  bool operator==(const TextFont&) const = default;
};
inline constexpr const char* kTimelineFontFamily = "Liberation Sans";

// Text as a front's fonts measure it: Qt's font metrics in the window, the canvas's measureText
// in the page, a table of the font's advances in an SVG.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual double width(const TextFont& font, std::string_view text) const = 0;
  virtual double ascent(const TextFont& font) const = 0;
  virtual double descent(const TextFont& font) const = 0;
  double height(const TextFont& font) const { return ascent(font) + descent(font); }
};

struct Fill {
  Rect rect;
  Rgb colour;
};
// Lines rising to the right every `spacing` px over `rect`, on a grid anchored to the page so
// that neighbouring hatched stretches join up. The fill under them is a Fill of its own.
struct Hatch {
  Rect rect;
  Rgb colour;
  double spacing = 4;
  double width = 1;
};
// Square ends; a dashed line is 4 widths on, 2 off.
struct Line {
  Point from, to;
  Rgb colour;
  double width = 1;
  bool dashed = false;
};
enum class MarkShape : std::uint8_t { Cross, Triangle, Diamond };  // the triangle points down
// Smoothed; filled when `width` is 0, else its outline stroked that wide.
struct Mark {
  MarkShape shape = MarkShape::Cross;
  Point centre;
  double size = 8;
  Rgb colour;
  double width = 0;
};
// Drawn with its baseline starting at `at`; the layout fitted it into `max_width` (0: no limit).
struct Text {
  Point at;
  std::string text;
  Rgb colour;
  TextFont font;
  double max_width = 0;
};
// What follows is clipped to `rect`, until a Clip that is not `on`.
struct Clip {
  Rect rect;
  bool on = true;
};
using Primitive = std::variant<Fill, Hatch, Line, Mark, Text, Clip>;

// A frame as drawn: `id` is its index in the picture's frames.
struct FrameBox {
  Rect rect;
  std::uint32_t id = 0;
};

struct TimelinePicture {
  double width = 0, height = 0;
  std::vector<Primitive> items;  // in drawing order
  std::vector<BusFrame> frames;  // the frames around the stretch, in order of sending
  std::vector<FrameBox> boxes;   // in drawing order: a later box is drawn over an earlier one
};

// The hatch of `rect`: the segments of the lines x + y = k * spacing inside it, as pairs of
// points, for every renderer alike.
std::vector<Point> hatch_segments(const Rect& rect, double spacing);
// A mark's outline: two strokes for a cross (four points), else a closed polygon.
std::vector<Point> mark_outline(const Mark& mark);

}  // namespace bruvik
