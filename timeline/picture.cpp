#include "timeline/picture.h"

#include <algorithm>
#include <cmath>

namespace bruvik {

std::vector<Point> hatch_segments(const Rect& r, double spacing) {
  std::vector<Point> out;
  if (r.w <= 0 || r.h <= 0 || spacing <= 0) return out;
  // Lines x + y = c (rising to the right on the screen), c on a grid of `spacing`.
  const double first = std::ceil((r.left() + r.top()) / spacing) * spacing;
  for (double c = first; c <= r.right() + r.bottom(); c += spacing) {
    // Where the line enters and leaves the rectangle.
    const double x0 = std::max(r.left(), c - r.bottom());
    const double x1 = std::min(r.right(), c - r.top());
    if (x1 <= x0) continue;
    out.push_back({x0, c - x0});
    out.push_back({x1, c - x1});
  }
  return out;
}

std::vector<Point> mark_outline(const Mark& m) {
  const double h = m.size / 2;
  const Point c = m.centre;
  switch (m.shape) {
    case MarkShape::Cross:
      return {{c.x - h, c.y - h}, {c.x + h, c.y + h}, {c.x - h, c.y + h}, {c.x + h, c.y - h}};
    case MarkShape::Triangle:
      return {{c.x - h, c.y - h}, {c.x + h, c.y - h}, {c.x, c.y + h}};
    case MarkShape::Diamond:
      return {{c.x, c.y - h}, {c.x + h, c.y}, {c.x, c.y + h}, {c.x - h, c.y}};
  }
  return {};
}

}  // namespace bruvik
