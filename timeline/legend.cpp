#include "timeline/legend.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <array>

#include "timeline/shapes.h"
#include "timeline/text_cache.h"

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

double item_width(const QFont& font, const Item& item) {
  return kSwatch + 4 + text_width(font, QString::fromUtf8(item.text)) + kGap;
}

void paint_swatch(QPainter& p, const QRectF& r, Swatch s, const TimelineStyle& style) {
  const QPointF c = r.center();
  QPainterPath path;
  switch (s) {
    case Swatch::Good:
      p.fillRect(r.adjusted(0, 2, 0, -2), style.good_frame);
      break;
    case Swatch::Overlapped:
      p.fillRect(r.adjusted(0, 2, 0, -2), style.overlapped_frame);
      add_hatch(path, r.adjusted(0, 2, 0, -2), 4);
      p.strokePath(path, QPen(style.hatch, 1));
      break;
    case Swatch::Counted:
      add_cross(path, c, r.height() - 3);
      p.strokePath(path, QPen(style.counted, 2));
      break;
    case Swatch::BusBusy:
      p.fillRect(r.adjusted(0, 3, 0, -3), style.bus_busy);
      break;
    case Swatch::SensedBusy:
      add_triangle(path, c, 7);
      p.fillPath(path, style.sensed_busy);
      break;
    case Swatch::Deferred:
      add_diamond(path, c, 8);
      p.strokePath(path, QPen(style.deferred, 1.5));
      break;
    case Swatch::Boundary:
      p.setPen(QPen(style.boundary, 1, Qt::DashLine));
      p.drawLine(QPointF(c.x(), r.top()), QPointF(c.x(), r.bottom()));
      break;
    case Swatch::Cursor:
      p.setPen(QPen(style.cursor, 2));
      p.drawLine(QPointF(c.x(), r.top()), QPointF(c.x(), r.bottom()));
      break;
  }
}

}  // namespace

double legend_height(double width, const TimelineStyle& style) {
  const double line = QFontMetricsF(style.font).height() + 6;
  double x = 0;
  int lines = 1;
  for (const Item& item : kItems) {
    const double w = item_width(style.font, item);
    if (x > 0 && x + w > width) {
      ++lines;
      x = 0;
    }
    x += w;
  }
  return lines * line + 2;
}

void paint_legend(QPainter& p, const QRectF& area, const TimelineStyle& style) {
  const QFontMetricsF m(style.font);
  const double line = m.height() + 6;
  double x = area.left();
  double y = area.top() + 2;
  p.setFont(style.font);
  for (const Item& item : kItems) {
    const double w = item_width(style.font, item);
    if (x > area.left() && x + w > area.right()) {
      x = area.left();
      y += line;
    }
    const QRectF swatch(x, y + (line - m.height()) / 2, kSwatch, m.height());
    p.save();
    paint_swatch(p, swatch, item.swatch, style);
    p.restore();
    p.setPen(style.text);
    p.drawText(QRectF(x + kSwatch + 4, y, w - kSwatch - 4, line), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(item.text));
    x += w;
  }
}

}  // namespace bruvik
