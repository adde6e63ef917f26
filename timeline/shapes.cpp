#include "timeline/shapes.h"

#include <algorithm>
#include <cmath>

namespace bruvik {

void add_cross(QPainterPath& path, QPointF c, double size) {
  const double h = size / 2;
  path.moveTo(c.x() - h, c.y() - h);
  path.lineTo(c.x() + h, c.y() + h);
  path.moveTo(c.x() - h, c.y() + h);
  path.lineTo(c.x() + h, c.y() - h);
}

void add_triangle(QPainterPath& path, QPointF c, double size) {
  const double h = size / 2;
  path.moveTo(c.x() - h, c.y() - h);
  path.lineTo(c.x() + h, c.y() - h);
  path.lineTo(c.x(), c.y() + h);
  path.closeSubpath();
}

void add_diamond(QPainterPath& path, QPointF c, double size) {
  const double h = size / 2;
  path.moveTo(c.x(), c.y() - h);
  path.lineTo(c.x() + h, c.y());
  path.lineTo(c.x(), c.y() + h);
  path.lineTo(c.x() - h, c.y());
  path.closeSubpath();
}

void add_hatch(QPainterPath& path, const QRectF& r, double spacing) {
  if (r.width() <= 0 || r.height() <= 0 || spacing <= 0) return;
  // Lines x + y = c (rising to the right on the screen), c on a grid of `spacing`.
  const double first = std::ceil((r.left() + r.top()) / spacing) * spacing;
  for (double c = first; c <= r.right() + r.bottom(); c += spacing) {
    // Where the line enters and leaves the rectangle.
    const double x0 = std::max(r.left(), c - r.bottom());
    const double x1 = std::min(r.right(), c - r.top());
    if (x1 <= x0) continue;
    path.moveTo(x0, c - x0);
    path.lineTo(x1, c - x1);
  }
}

}  // namespace bruvik
