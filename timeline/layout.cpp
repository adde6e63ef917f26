#include "timeline/layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "model/form.h"
#include "model/methods.h"
#include "timeline/geometry.h"
#include "timeline/legend.h"

namespace bruvik {
namespace {

// Below this many pixels a frame time, frames are gathered per pixel column.
constexpr double kGatherBelowPx = 2;
constexpr double kHatchSpacing = 4;

Rect bar_of(const Rect& row) {
  const double inset = std::min(3.0, row.h / 5);
  return {row.x, row.y + inset, row.w, row.h - 2 * inset};
}

// The baseline of a line of text centred in a band from `top`, `height` high.
double centred_baseline(double top, double height, const TimelineStyle& style,
                        const TextMeasure& measure) {
  return top + (height - measure.height(style.font)) / 2 + measure.ascent(style.font);
}

// What the plot shows, a list per kind, drawn kind after kind.
struct Kinds {
  std::vector<Primitive> busy, good, overlapped, hatch, sensed, deferred, counted;
  std::vector<FrameBox> good_boxes, overlapped_boxes;
};

void add_box(std::vector<FrameBox>& boxes, const TimelineGeometry& g, Rect r, std::size_t frame) {
  const double left = std::max(r.left(), g.plot.left());
  const double right = std::min(r.right(), g.plot.right());
  if (right <= left) return;
  boxes.push_back({{left, r.y, right - left, r.h}, static_cast<std::uint32_t>(frame)});
}

// Frames at a readable scale: a bar each, the overlapping stretches hatched.
void add_frames(Kinds& out, const TimelineGeometry& g, const Stretch& s,
                const TimelineStyle& style) {
  for (const std::size_t i : s.shown) {
    const BusFrame& f = s.frames[i];
    const Rect bar = bar_of(g.row(f.station));
    const double x0 = g.x_of(static_cast<double>(f.sent));
    const double x1 = std::max(g.x_of(static_cast<double>(f.off)), x0 + 1);
    const Rect r{x0, bar.top(), x1 - x0, bar.h};
    if (!f.overlapped) {
      out.good.push_back(Fill{r, style.good_frame});
      add_box(out.good_boxes, g, r, i);
      continue;
    }
    out.overlapped.push_back(Fill{r, style.overlapped_frame});
    add_box(out.overlapped_boxes, g, r, i);
    for (const std::size_t j : overlap_partners(s.frames, i)) {
      const BusFrame& o = s.frames[j];
      const double a = g.x_of(static_cast<double>(std::max(f.sent, o.sent)));
      const double b = g.x_of(static_cast<double>(std::min(f.off, o.off)));
      out.hatch.push_back(Hatch{{a, bar.top(), b - a, bar.h}, style.hatch, kHatchSpacing, 1});
    }
  }
}

// Frames too narrow to see one by one: each pixel column of a row shows whether a frame was
// on the bus there, and whether one of them overlapped another.
void add_gathered_frames(Kinds& out, const TimelineGeometry& g, const Stretch& s,
                         const TimelineStyle& style) {
  const int columns = std::max(1, static_cast<int>(std::ceil(g.plot.w)));
  std::vector<std::uint8_t> cells(static_cast<std::size_t>(kStations * columns), 0);
  for (const std::size_t i : s.shown) {
    const BusFrame& f = s.frames[i];
    const double x0 = g.x_of(static_cast<double>(f.sent)) - g.plot.left();
    const double x1 = g.x_of(static_cast<double>(f.off)) - g.plot.left();
    const int c0 = std::clamp(static_cast<int>(std::floor(x0)), 0, columns - 1);
    const int c1 = std::clamp(static_cast<int>(std::ceil(x1)) - 1, c0, columns - 1);
    std::uint8_t* row = &cells[static_cast<std::size_t>(f.station * columns)];
    const std::uint8_t kind = f.overlapped ? 2 : 1;
    for (int c = c0; c <= c1; ++c) row[c] = std::max(row[c], kind);
    const Rect bar = bar_of(g.row(f.station));
    add_box(f.overlapped ? out.overlapped_boxes : out.good_boxes, g,
            {g.plot.left() + c0, bar.top(), static_cast<double>(c1 - c0 + 1), bar.h}, i);
  }
  for (int station = 0; station < kStations; ++station) {
    const Rect bar = bar_of(g.row(station));
    const std::uint8_t* row = &cells[static_cast<std::size_t>(station * columns)];
    for (int c = 0; c < columns;) {
      int e = c + 1;
      while (e < columns && row[e] == row[c]) ++e;
      if (row[c] != 0) {
        const Rect r{g.plot.left() + c, bar.top(), static_cast<double>(e - c), bar.h};
        if (row[c] == 1) {
          out.good.push_back(Fill{r, style.good_frame});
        } else {
          out.overlapped.push_back(Fill{r, style.overlapped_frame});
          out.hatch.push_back(Hatch{r, style.hatch, kHatchSpacing, 1});
        }
      }
      c = e;
    }
  }
}

// Marks at most one per kind, row and `gap` pixels, so that a long stretch stays light.
class Thinned {
 public:
  explicit Thinned(double gap) : gap_(gap) { last_.fill(-1e9); }
  bool take(int row, double x) {
    double& last = last_[static_cast<std::size_t>(row)];
    if (x - last < gap_) return false;
    last = x;
    return true;
  }

 private:
  double gap_;
  std::array<double, kTimelineRows> last_;
};

void add_marks(Kinds& out, const TimelineGeometry& g, const Stretch& s, bool gathered,
               const TimelineStyle& style) {
  const double size = std::clamp(g.row(0).h - 4, 4.0, 9.0);
  // A 1-persistent station senses the busy bus every millisecond: one mark per mark's width
  // says as much, and keeps the drawing light.
  Thinned crosses(gathered ? size / 2 : 0.5), sensed(size), deferred(size);
  for (const std::size_t i : s.shown) {
    const BusFrame& f = s.frames[i];
    if (!f.counted || f.sent < g.from) continue;
    const double x = g.x_of(static_cast<double>(f.sent));
    if (crosses.take(f.station, x)) {
      out.counted.push_back(
          Mark{MarkShape::Cross, {x, g.row(f.station).centre().y}, size, style.counted, 2});
    }
  }
  for (const StationMark& m : s.marks) {
    const double x = g.x_of(static_cast<double>(m.time));
    const Point c{x, g.row(m.station).centre().y};
    if (m.kind == EventKind::Busy) {
      if (sensed.take(m.station, x)) {
        out.sensed.push_back(Mark{MarkShape::Triangle, c, size * 0.8, style.sensed_busy, 0});
      }
    } else if (deferred.take(m.station, x)) {
      out.deferred.push_back(Mark{MarkShape::Diamond, c, size, style.deferred, 1.5});
    }
  }
}

void add_bus(Kinds& out, const TimelineGeometry& g, const Stretch& s, const TimelineStyle& style) {
  const Rect bar = bar_of(g.row(kBusRow));
  double open = 0, close = -1;  // the stretch being gathered, in pixels
  const auto flush = [&] {
    if (close > open)
      out.busy.push_back(Fill{{open, bar.top(), close - open, bar.h}, style.bus_busy});
  };
  for (const BusyStretch& b : s.bus_busy) {
    const double x0 = std::max(g.plot.left(), g.x_of(static_cast<double>(b.from)));
    const double x1 = std::max(std::min(g.plot.right(), g.x_of(static_cast<double>(b.to))), x0 + 1);
    if (x0 <= close + 0.5) {
      close = std::max(close, x1);
      continue;
    }
    flush();
    open = x0;
    close = x1;
  }
  flush();
}

void add_rows(std::vector<Primitive>& out, const TimelineGeometry& g, const TimelineStyle& style,
              const TextMeasure& measure) {
  for (int r = 0; r < kTimelineRows; ++r) {
    const Rect row = g.row(r);
    if (r % 2 == 1) {
      out.push_back(
          Fill{{g.area.left(), row.top(), g.plot.right() - g.area.left(), row.h}, style.stripe});
    }
    out.push_back(Text{{g.area.left() + 4, centred_baseline(row.top(), row.h, style, measure)},
                       r == kBusRow ? "Bus" : "Station " + std::to_string(r),
                       style.text,
                       style.font,
                       g.plot.left() - g.area.left() - 8});
  }
  const double y = g.row(kBusRow).top();
  out.push_back(Line{{g.area.left(), y}, {g.plot.right(), y}, style.boundary});
}

// The background under what moves, drawn with each frame in small fills: the rows' stripes
// from just left of the plot, the band of method names, the axis.
void add_moving_background(std::vector<Primitive>& out, const TimelineGeometry& g,
                           const TimelineStyle& style) {
  const double x0 = g.plot.left() - 2;
  out.push_back(Fill{{x0, g.methods.top(), g.area.right() - x0, g.methods.h}, style.background});
  for (int r = 0; r < kTimelineRows; ++r) {
    const Rect row = g.row(r);
    out.push_back(Fill{{x0, row.top(), g.plot.right() - x0, row.h},
                       r % 2 == 1 ? style.stripe : style.background});
    out.push_back(Fill{{g.plot.right(), row.top(), g.area.right() - g.plot.right(), row.h},
                       style.background});
  }
  const double y = g.row(kBusRow).top();
  out.push_back(Line{{x0, y}, {g.plot.right(), y}, style.boundary});
  out.push_back(Fill{{g.area.left(), g.axis.top(), g.area.w, g.axis.h}, style.background});
}

std::string method_label(int begins) {
  if (begins < 0) return "not started";
  if (begins >= kMethods) return "run finished";
  return methods()[static_cast<std::size_t>(begins)].name;
}

void add_methods(std::vector<Primitive>& out, const TimelineGeometry& g, const Stretch& s,
                 const TimelineStyle& style, const TextMeasure& measure) {
  struct Segment {
    double x;
    int method;
  };
  std::vector<Segment> segments;
  if (s.method_at_from >= 0 && (s.boundaries.empty() || s.boundaries.front().time > g.from)) {
    segments.push_back({g.plot.left(), s.method_at_from});
  }
  for (const MethodBoundary& b : s.boundaries) {
    const double x = g.x_of(static_cast<double>(b.time));
    out.push_back(Line{{x, g.methods.top()}, {x, g.plot.bottom()}, style.boundary, 1, true});
    segments.push_back({x, b.begins});
  }
  const double baseline =
      g.methods.centre().y + (measure.ascent(style.font) - measure.descent(style.font)) / 2;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const double left = segments[i].x + 3;
    const double right = i + 1 < segments.size() ? segments[i + 1].x - 3 : g.plot.right();
    if (right - left < 12) continue;
    out.push_back(Text{{left, baseline},
                       elided(method_label(segments[i].method), right - left, style.font, measure),
                       style.text,
                       style.font,
                       right - left});
  }
}

void add_axis(std::vector<Primitive>& out, const TimelineGeometry& g, const TimelineStyle& style,
              const TextMeasure& measure) {
  out.push_back(
      Line{{g.plot.left(), g.plot.bottom()}, {g.plot.right(), g.plot.bottom()}, style.text});
  const double min_px = measure.width(style.font, "000.000 s") + 16;
  const VirtualMs step = axis_step(g.from, g.to, g.plot.w, min_px);
  const int decimals = step < 10 ? 3 : step < 100 ? 2 : step < 1000 ? 1 : 0;
  std::vector<Primitive> labels;
  for (VirtualMs t = (g.from + step - 1) / step * step; t <= g.to; t += step) {
    const double x = g.x_of(static_cast<double>(t));
    out.push_back(Line{{x, g.plot.bottom()}, {x, g.plot.bottom() + 4}, style.text});
    std::string text = seconds_text(t, decimals);
    const double w = measure.width(style.font, text);
    const double left = std::clamp(x - w / 2, g.area.left(), g.area.right() - w);
    labels.push_back(Text{{left, g.plot.bottom() + 4 + measure.ascent(style.font)},
                          std::move(text),
                          style.text,
                          style.font,
                          0});
  }
  out.insert(out.end(), labels.begin(), labels.end());
}

// Greedy: as many words on a line as fit `room`.
std::vector<std::string> wrapped(const std::string& text, double room, const TextFont& font,
                                 const TextMeasure& measure) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t space = text.find(' ', at);
    const std::string word = text.substr(at, space == std::string::npos ? space : space - at);
    at = space == std::string::npos ? text.size() : space + 1;
    const std::string longer = line.empty() ? word : line + ' ' + word;
    if (!line.empty() && measure.width(font, longer) > room) {
      lines.push_back(line);
      line = word;
    } else {
      line = longer;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Where the record no longer holds the run: greyed, with one sentence saying so.
void add_let_go(std::vector<Primitive>& out, const TimelineGeometry& g, const RunRecord& record,
                const TimelineStyle& style, const TextMeasure& measure) {
  const VirtualMs from = record.complete_from();
  if (from <= g.from) return;
  const double right = g.x_of(static_cast<double>(std::min(from, g.to)));
  out.push_back(Fill{
      {g.plot.left(), g.methods.top(), right - g.plot.left(), g.plot.bottom() - g.methods.top()},
      style.let_go});
  const std::string text = "Not kept before " + seconds_text(from, 1) +
                           ": a long run's timeline keeps only its latest events.";
  const double room = g.plot.w - 8;
  double baseline = g.methods.top() + measure.ascent(style.font);
  for (std::string& line : wrapped(text, room, style.font, measure)) {
    out.push_back(
        Text{{g.plot.left() + 4, baseline}, std::move(line), style.text, style.font, room});
    // Lines a whole number of pixels apart, so that each is drawn alike.
    baseline += std::ceil(measure.height(style.font));
  }
}

}  // namespace

std::string elided(const std::string& text, double room, const TextFont& font,
                   const TextMeasure& measure) {
  if (measure.width(font, text) <= room) return text;
  static const std::string kEllipsis = "\xE2\x80\xA6";
  std::size_t keep = text.size();
  while (keep > 0) {
    // Back to the start of the character before, over UTF-8's continuation bytes.
    do {
      --keep;
    } while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80);
    std::string shorter = text.substr(0, keep) + kEllipsis;
    if (measure.width(font, shorter) <= room) return shorter;
  }
  return measure.width(font, kEllipsis) <= room ? kEllipsis : std::string();
}

void add_timeline_backdrop(TimelinePicture& picture, const Rect& area, const TimelineStyle& style,
                           const TextMeasure& measure) {
  const TimelineGeometry g = timeline_geometry(area, 0, 1, style, measure);
  picture.items.push_back(Fill{area, style.background});
  add_rows(picture.items, g, style, measure);
  if (style.legend) add_legend(picture.items, g.legend, style, measure);
}

void add_timeline_content(TimelinePicture& picture, const Rect& area, const RunRecord& record,
                          const TimelineSpan& span, const TimelineStyle& style,
                          const TextMeasure& measure) {
  const TimelineGeometry g = timeline_geometry(area, span.from, span.to, style, measure);
  Stretch s = derive_stretch(record, span);
  const bool gathered = g.px_per_ms() * static_cast<double>(kFrameTimeMs) < kGatherBelowPx;

  Kinds kinds;
  if (gathered) {
    add_gathered_frames(kinds, g, s, style);
  } else {
    add_frames(kinds, g, s, style);
  }
  add_marks(kinds, g, s, gathered, style);
  add_bus(kinds, g, s, style);

  std::vector<Primitive>& out = picture.items;
  add_moving_background(out, g, style);
  const Rect clip{g.plot.left(), g.methods.top(), g.plot.w, g.plot.bottom() - g.methods.top()};
  out.push_back(Clip{clip, true});
  for (std::vector<Primitive>* kind : {&kinds.busy, &kinds.good, &kinds.overlapped, &kinds.hatch,
                                       &kinds.sensed, &kinds.deferred, &kinds.counted}) {
    out.insert(out.end(), std::make_move_iterator(kind->begin()),
               std::make_move_iterator(kind->end()));
  }
  add_methods(out, g, s, style, measure);
  add_let_go(out, g, record, style, measure);
  if (span.cursor >= g.from && span.cursor <= g.to) {
    const double x = g.x_of(static_cast<double>(span.cursor));
    out.push_back(Line{{x, g.methods.top()}, {x, g.plot.bottom()}, style.cursor, 2});
  }
  out.push_back(Clip{clip, false});
  add_axis(out, g, style, measure);

  // The boxes as drawn: the overlapped frames over the others.
  const auto first = static_cast<std::uint32_t>(picture.frames.size());
  for (std::vector<FrameBox>* boxes : {&kinds.good_boxes, &kinds.overlapped_boxes}) {
    for (FrameBox& b : *boxes) {
      b.id += first;
      picture.boxes.push_back(b);
    }
  }
  picture.frames.insert(picture.frames.end(), s.frames.begin(), s.frames.end());
}

void add_timeline(TimelinePicture& picture, const Rect& area, const RunRecord& record,
                  const TimelineSpan& span, const TimelineStyle& style,
                  const TextMeasure& measure) {
  add_timeline_backdrop(picture, area, style, measure);
  add_timeline_content(picture, area, record, span, style, measure);
}

}  // namespace bruvik
