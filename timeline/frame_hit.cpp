#include "timeline/frame_hit.h"

#include <algorithm>
#include <cmath>

#include <QStringList>

#include "model/form.h"
#include "model/methods.h"
#include "timeline/geometry.h"

namespace bruvik {
namespace {

// A narrow bar is found within this many pixels of it.
constexpr double kReachPx = 3;

QString at_text(VirtualMs ms) {
  return seconds_text(ms, 3);
}

}  // namespace

std::optional<FrameHit> frame_at(const QRectF& area, const RunRecord& record,
                                 const TimelineSpan& span, const TimelineStyle& style, QPointF at) {
  const TimelineGeometry g = timeline_geometry(area, span.from, span.to, style);
  if (!g.plot.contains(at)) return std::nullopt;
  const int row = static_cast<int>((at.y() - g.plot.top()) / g.row(0).height());
  if (row < 0 || row >= kStations) return std::nullopt;
  const Stretch s = derive_stretch(record, span);
  std::optional<std::size_t> best;
  double best_distance = kReachPx;
  for (const std::size_t i : s.shown) {
    const BusFrame& f = s.frames[i];
    if (f.station != row) continue;
    const double x0 = g.x_of(static_cast<double>(f.sent));
    const double x1 = std::max(g.x_of(static_cast<double>(f.off)), x0 + 1);
    const double distance = at.x() < x0 ? x0 - at.x() : at.x() > x1 ? at.x() - x1 : 0;
    if (distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  if (!best) return std::nullopt;
  FrameHit hit;
  hit.frame = s.frames[*best];
  for (const std::size_t j : overlap_partners(s.frames, *best)) {
    hit.partners.push_back(s.frames[j]);
  }
  const QRectF r = g.row(row);
  const double x0 = g.x_of(static_cast<double>(hit.frame.sent));
  hit.bar = QRectF(x0, r.top(), std::max(1.0, g.x_of(static_cast<double>(hit.frame.off)) - x0),
                   r.height());
  return hit;
}

QString frame_tooltip(const FrameHit& hit) {
  const BusFrame& f = hit.frame;
  QString text = QStringLiteral("Station %1, %2\nSent at %3, ")
                     .arg(f.station)
                     .arg(QString::fromUtf8(
                         methods()[static_cast<std::size_t>(std::clamp<int>(f.method, 0, 4))].name))
                     .arg(at_text(f.sent));
  text += f.ended ? QStringLiteral("off the bus at %1").arg(at_text(f.off))
                  : QStringLiteral("still on the bus at %1").arg(at_text(f.off));
  if (hit.partners.empty()) {
    text += QStringLiteral("\nOverlapped no other frame");
  } else {
    QStringList others;
    for (const BusFrame& o : hit.partners) {
      others << QStringLiteral("station %1 (sent at %2)").arg(o.station).arg(at_text(o.sent));
    }
    text += QStringLiteral("\nOverlapped ") + others.join(QStringLiteral(", "));
  }
  text += f.counted ? QStringLiteral("\nCounted as a collision")
                    : QStringLiteral("\nNot counted as a collision");
  return text;
}

}  // namespace bruvik
