#include "timeline/geometry.h"

#include <QFontMetricsF>

#include <algorithm>

#include "timeline/legend.h"
#include "timeline/text_cache.h"

namespace bruvik {

QRectF TimelineGeometry::row(int r) const {
  const double h = plot.height() / kTimelineRows;
  return {plot.left(), plot.top() + r * h, plot.width(), h};
}

double TimelineGeometry::x_of(double t) const {
  return plot.left() + (t - static_cast<double>(from)) * px_per_ms();
}

double TimelineGeometry::t_of(double x) const {
  return static_cast<double>(from) + (x - plot.left()) / px_per_ms();
}

TimelineGeometry timeline_geometry(const QRectF& area, VirtualMs from, VirtualMs to,
                                   const TimelineStyle& style) {
  TimelineGeometry g;
  g.area = area;
  g.from = from;
  g.to = std::max(to, from + 1);
  const QFontMetricsF m(style.font);
  const double line = m.height();
  const double labels = text_width(style.font, QStringLiteral("Station 9")) + 12;
  const double left = area.left() + labels;
  const double width = std::max(1.0, area.right() - 10 - left);
  const double legend = style.legend ? legend_height(width + labels, style) : 0;
  const double axis = line + 8;
  const double band = line + 4;
  const double rows = std::max<double>(kTimelineRows, area.height() - band - axis - legend);
  g.methods = QRectF(left, area.top(), width, band);
  g.plot = QRectF(left, g.methods.bottom(), width, rows);
  g.axis = QRectF(left, g.plot.bottom(), width, axis);
  g.legend = QRectF(area.left() + 6, g.axis.bottom(), area.width() - 12, legend);
  return g;
}

QString seconds_text(VirtualMs ms, int decimals) {
  return QString::number(static_cast<double>(ms) / 1000.0, 'f', decimals) + QStringLiteral(" s");
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
