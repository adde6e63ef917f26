// Where each part of the timeline goes in its area: the method names on top, a row per station
// and one for the bus, the time axis and the legend under them; and time against x.
#pragma once

#include <string>

#include "model/clock.h"
#include "timeline/picture.h"
#include "timeline/style.h"

namespace bruvik {

inline constexpr int kTimelineRows = 11;  // stations 0 to 9, then the bus
inline constexpr int kBusRow = 10;

struct TimelineGeometry {
  Rect area;
  Rect methods;  // the band of method names over the rows
  Rect plot;     // the rows, where time runs
  Rect axis;
  Rect legend;
  VirtualMs from = 0;
  VirtualMs to = 1;

  Rect row(int r) const;
  double x_of(double t) const;
  double t_of(double x) const;
  double px_per_ms() const { return plot.w / static_cast<double>(to - from); }
};

TimelineGeometry timeline_geometry(const Rect& area, VirtualMs from, VirtualMs to,
                                   const TimelineStyle& style, const TextMeasure& measure);

// "12.345 s": a virtual time in seconds with `decimals` places.
std::string seconds_text(VirtualMs ms, int decimals);

// The axis's steps: labels at least `min_px` apart, at 1, 2 or 5 times a power of ten ms.
VirtualMs axis_step(VirtualMs from, VirtualMs to, double width, double min_px);

}  // namespace bruvik
