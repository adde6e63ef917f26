#include "timeline/geometry.h"

#include <algorithm>

#include "model/numtext.h"
#include "timeline/legend.h"

namespace bruvik {

Rect TimelineGeometry::row(int r) const {
  const double h = plot.h / kTimelineRows;
  return {plot.left(), plot.top() + r * h, plot.w, h};
}

double TimelineGeometry::x_of(double t) const {
  return plot.left() + (t - static_cast<double>(from)) * px_per_ms();
}

double TimelineGeometry::t_of(double x) const {
  return static_cast<double>(from) + (x - plot.left()) / px_per_ms();
}

TimelineGeometry timeline_geometry(const Rect& area, VirtualMs from, VirtualMs to,
                                   const TimelineStyle& style, const TextMeasure& measure) {
  TimelineGeometry g;
  g.area = area;
  g.from = from;
  g.to = std::max(to, from + 1);
  const double line = measure.height(style.font);
  const double labels = measure.width(style.font, "Station 9") + 12;
  const double left = area.left() + labels;
  const double width = std::max(1.0, area.right() - 10 - left);
  const double legend = style.legend ? legend_height(width + labels, style, measure) : 0;
  const double axis = line + 8;
  const double band = line + 4;
  const double rows = std::max<double>(kTimelineRows, area.h - band - axis - legend);
  g.methods = {left, area.top(), width, band};
  g.plot = {left, g.methods.bottom(), width, rows};
  g.axis = {left, g.plot.bottom(), width, axis};
  g.legend = {area.left() + 6, g.axis.bottom(), area.w - 12, legend};
  return g;
}

std::string seconds_text(VirtualMs ms, int decimals) {
  // Whatever the locale: a window's application may have set one with a decimal comma.
  return numtext::fixed(static_cast<double>(ms) / 1000.0, decimals) + " s";
}

VirtualMs axis_step(VirtualMs from, VirtualMs to, double width, double min_px) {
  const double span = static_cast<double>(std::max<VirtualMs>(1, to - from));
  for (VirtualMs power = 1;; power *= 10) {
    for (const VirtualMs k : {1, 2, 5}) {
      const VirtualMs step = k * power;
      if (static_cast<double>(step) / span * width >= min_px) return step;
    }
    if (power > VirtualMs{1} << 50) return power;
  }
}

}  // namespace bruvik
