#include "timeline/painter.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "model/form.h"
#include "model/methods.h"
#include "timeline/geometry.h"
#include "timeline/legend.h"
#include "timeline/shapes.h"
#include "timeline/text_cache.h"

namespace bruvik {
namespace {

// Below this many pixels a frame time, frames are gathered per pixel column.
constexpr double kGatherBelowPx = 2;
constexpr double kHatchSpacing = 4;

QRectF bar_of(const QRectF& row) {
  const double inset = std::min(3.0, row.height() / 5);
  return row.adjusted(0, inset, 0, -inset);
}

// Paths of one kind each, drawn in one call per kind at the end.
struct Paths {
  QPainterPath good, overlapped, hatch, counted, sensed, deferred, busy;
};

// Frames at a readable scale: a bar each, the overlapping stretches hatched.
void add_frames(Paths& out, const TimelineGeometry& g, const Stretch& s) {
  for (const std::size_t i : s.shown) {
    const BusFrame& f = s.frames[i];
    const QRectF bar = bar_of(g.row(f.station));
    const double x0 = g.x_of(static_cast<double>(f.sent));
    const double x1 = std::max(g.x_of(static_cast<double>(f.off)), x0 + 1);
    const QRectF r(x0, bar.top(), x1 - x0, bar.height());
    if (!f.overlapped) {
      out.good.addRect(r);
      continue;
    }
    out.overlapped.addRect(r);
    for (const std::size_t j : overlap_partners(s.frames, i)) {
      const BusFrame& o = s.frames[j];
      const double a = g.x_of(static_cast<double>(std::max(f.sent, o.sent)));
      const double b = g.x_of(static_cast<double>(std::min(f.off, o.off)));
      add_hatch(out.hatch, QRectF(a, bar.top(), b - a, bar.height()), kHatchSpacing);
    }
  }
}

// Frames too narrow to see one by one: each pixel column of a row shows whether a frame was
// on the bus there, and whether one of them overlapped another.
void add_gathered_frames(Paths& out, const TimelineGeometry& g, const Stretch& s) {
  const int columns = std::max(1, static_cast<int>(std::ceil(g.plot.width())));
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
  }
  for (int station = 0; station < kStations; ++station) {
    const QRectF bar = bar_of(g.row(station));
    const std::uint8_t* row = &cells[static_cast<std::size_t>(station * columns)];
    for (int c = 0; c < columns;) {
      int e = c + 1;
      while (e < columns && row[e] == row[c]) ++e;
      if (row[c] != 0) {
        const QRectF r(g.plot.left() + c, bar.top(), e - c, bar.height());
        if (row[c] == 1) {
          out.good.addRect(r);
        } else {
          out.overlapped.addRect(r);
          add_hatch(out.hatch, r, kHatchSpacing);
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

void add_marks(Paths& out, const TimelineGeometry& g, const Stretch& s, bool gathered) {
  const double size = std::clamp(g.row(0).height() - 4, 4.0, 9.0);
  // A 1-persistent station senses the busy bus every millisecond: one mark per mark's width
  // says as much, and keeps the drawing light.
  Thinned crosses(gathered ? size / 2 : 0.5), sensed(size), deferred(size);
  for (const std::size_t i : s.shown) {
    const BusFrame& f = s.frames[i];
    if (!f.counted || f.sent < g.from) continue;
    const double x = g.x_of(static_cast<double>(f.sent));
    if (crosses.take(f.station, x))
      add_cross(out.counted, {x, g.row(f.station).center().y()}, size);
  }
  for (const StationMark& m : s.marks) {
    const double x = g.x_of(static_cast<double>(m.time));
    const QPointF c(x, g.row(m.station).center().y());
    if (m.kind == EventKind::Busy) {
      if (sensed.take(m.station, x)) add_triangle(out.sensed, c, size * 0.8);
    } else if (deferred.take(m.station, x)) {
      add_diamond(out.deferred, c, size);
    }
  }
}

void add_bus(Paths& out, const TimelineGeometry& g, const Stretch& s) {
  const QRectF bar = bar_of(g.row(kBusRow));
  double open = 0, close = -1;  // the stretch being gathered, in pixels
  const auto flush = [&] {
    if (close > open) out.busy.addRect(QRectF(open, bar.top(), close - open, bar.height()));
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

void paint_rows(QPainter& p, const TimelineGeometry& g, const TimelineStyle& style) {
  for (int r = 0; r < kTimelineRows; ++r) {
    const QRectF row = g.row(r);
    const QRectF whole(g.area.left(), row.top(), g.plot.right() - g.area.left(), row.height());
    if (r % 2 == 1) p.fillRect(whole, style.stripe);
    p.setPen(style.text);
    const QString label =
        r == kBusRow ? QStringLiteral("Bus") : QStringLiteral("Station %1").arg(r);
    p.drawText(
        QRectF(g.area.left() + 4, row.top(), g.plot.left() - g.area.left() - 8, row.height()),
        Qt::AlignLeft | Qt::AlignVCenter, label);
  }
  p.setPen(QPen(style.boundary, 1));
  const double y = g.row(kBusRow).top();
  p.drawLine(QPointF(g.area.left(), y), QPointF(g.plot.right(), y));
}

// The background under what moves, painted with each frame in small fills: the rows' stripes
// from just left of the plot, the band of method names, the axis.
void paint_moving_background(QPainter& p, const TimelineGeometry& g, const TimelineStyle& style) {
  const double x0 = g.plot.left() - 2;
  p.fillRect(QRectF(x0, g.methods.top(), g.area.right() - x0, g.methods.height()),
             style.background);
  for (int r = 0; r < kTimelineRows; ++r) {
    const QRectF row = g.row(r);
    p.fillRect(QRectF(x0, row.top(), g.plot.right() - x0, row.height()),
               r % 2 == 1 ? style.stripe : style.background);
    p.fillRect(QRectF(g.plot.right(), row.top(), g.area.right() - g.plot.right(), row.height()),
               style.background);
  }
  p.setPen(QPen(style.boundary, 1));
  const double y = g.row(kBusRow).top();
  p.drawLine(QPointF(x0, y), QPointF(g.plot.right(), y));
  p.fillRect(QRectF(g.area.left(), g.axis.top(), g.area.width(), g.axis.height()),
             style.background);
}

QString method_label(int begins) {
  if (begins < 0) return QStringLiteral("not started");
  if (begins >= kMethods) return QStringLiteral("run finished");
  return QString::fromUtf8(methods()[static_cast<std::size_t>(begins)].name);
}

void paint_methods(QPainter& p, const TimelineGeometry& g, const Stretch& s,
                   const TimelineStyle& style) {
  const QFontMetricsF m(style.font);
  struct Segment {
    double x;
    int method;
  };
  std::vector<Segment> segments;
  if (s.method_at_from >= 0 && (s.boundaries.empty() || s.boundaries.front().time > g.from)) {
    segments.push_back({g.plot.left(), s.method_at_from});
  }
  p.setPen(QPen(style.boundary, 1, Qt::DashLine));
  for (const MethodBoundary& b : s.boundaries) {
    const double x = g.x_of(static_cast<double>(b.time));
    p.drawLine(QPointF(x, g.methods.top()), QPointF(x, g.plot.bottom()));
    segments.push_back({x, b.begins});
  }
  p.setPen(style.text);
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const double left = segments[i].x + 3;
    const double right = i + 1 < segments.size() ? segments[i + 1].x - 3 : g.plot.right();
    if (right - left < 12) continue;
    QString text = method_label(segments[i].method);
    if (text_width(style.font, text) > right - left)
      text = m.elidedText(text, Qt::ElideRight, right - left);
    draw_cached_text(p, style.font,
                     QPointF(left, g.methods.center().y() + (m.ascent() - m.descent()) / 2), text);
  }
}

void paint_axis(QPainter& p, const TimelineGeometry& g, const TimelineStyle& style) {
  const QFontMetricsF m(style.font);
  p.setPen(QPen(style.text, 1));
  p.drawLine(QPointF(g.plot.left(), g.plot.bottom()), QPointF(g.plot.right(), g.plot.bottom()));
  const double min_px = text_width(style.font, QStringLiteral("000.000 s")) + 16;
  const VirtualMs step = axis_step(g.from, g.to, g.plot.width(), min_px);
  const int decimals = step < 10 ? 3 : step < 100 ? 2 : step < 1000 ? 1 : 0;
  for (VirtualMs t = (g.from + step - 1) / step * step; t <= g.to; t += step) {
    const double x = g.x_of(static_cast<double>(t));
    p.drawLine(QPointF(x, g.plot.bottom()), QPointF(x, g.plot.bottom() + 4));
    const QString text = seconds_text(t, decimals);
    const double w = text_width(style.font, text);
    const double left = std::clamp(x - w / 2, g.area.left(), g.area.right() - w);
    // At a point, not in a box: the cheaper way, as the axis is drawn every frame.
    draw_cached_text(p, style.font, QPointF(left, g.plot.bottom() + 4 + m.ascent()), text);
  }
}

// Where the record no longer holds the run: greyed, with one sentence saying so.
void paint_let_go(QPainter& p, const TimelineGeometry& g, const RunRecord& record,
                  const TimelineStyle& style) {
  const VirtualMs from = record.complete_from();
  if (from <= g.from) return;
  const double right = g.x_of(static_cast<double>(std::min(from, g.to)));
  const QRectF gone(g.plot.left(), g.methods.top(), right - g.plot.left(),
                    g.plot.bottom() - g.methods.top());
  p.fillRect(gone, QColor(128, 128, 128, 150));
  const QString text =
      QStringLiteral("Not kept before %1: a long run's timeline keeps only its latest events.")
          .arg(seconds_text(from, 1));
  const QRectF box(g.plot.left() + 4, g.methods.top(), g.plot.width() - 8, g.methods.height() + 40);
  p.setPen(style.text);
  p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

}  // namespace

void paint_timeline_backdrop(QPainter& p, const QRectF& area, const TimelineStyle& style) {
  const TimelineGeometry g = timeline_geometry(area, 0, 1, style);
  p.save();
  p.setFont(style.font);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(area, style.background);
  paint_rows(p, g, style);
  if (style.legend) paint_legend(p, g.legend, style);
  p.restore();
}

void paint_timeline_content(QPainter& p, const QRectF& area, const RunRecord& record,
                            const TimelineSpan& span, const TimelineStyle& style) {
  const TimelineGeometry g = timeline_geometry(area, span.from, span.to, style);
  const Stretch s = derive_stretch(record, span);
  const bool gathered = g.px_per_ms() * static_cast<double>(kFrameTimeMs) < kGatherBelowPx;

  Paths paths;
  if (gathered) {
    add_gathered_frames(paths, g, s);
  } else {
    add_frames(paths, g, s);
  }
  add_marks(paths, g, s, gathered);
  add_bus(paths, g, s);

  p.save();
  p.setFont(style.font);
  p.setRenderHint(QPainter::Antialiasing, false);
  paint_moving_background(p, g, style);
  p.save();
  p.setClipRect(g.methods.united(g.plot));
  p.fillPath(paths.busy, style.bus_busy);
  p.fillPath(paths.good, style.good_frame);
  p.fillPath(paths.overlapped, style.overlapped_frame);
  p.strokePath(paths.hatch, QPen(style.hatch, 1));
  p.setRenderHint(QPainter::Antialiasing, true);
  p.fillPath(paths.sensed, style.sensed_busy);
  p.strokePath(paths.deferred, QPen(style.deferred, 1.5));
  p.strokePath(paths.counted, QPen(style.counted, 2));
  p.setRenderHint(QPainter::Antialiasing, false);
  paint_methods(p, g, s, style);
  paint_let_go(p, g, record, style);
  if (span.cursor >= g.from && span.cursor <= g.to) {
    const double x = g.x_of(static_cast<double>(span.cursor));
    p.setPen(QPen(style.cursor, 2));
    p.drawLine(QPointF(x, g.methods.top()), QPointF(x, g.plot.bottom()));
  }
  p.restore();
  paint_axis(p, g, style);
  p.restore();
}

void paint_timeline(QPainter& p, const QRectF& area, const RunRecord& record,
                    const TimelineSpan& span, const TimelineStyle& style) {
  paint_timeline_backdrop(p, area, style);
  paint_timeline_content(p, area, record, span, style);
}

}  // namespace bruvik
