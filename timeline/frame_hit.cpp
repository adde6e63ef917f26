#include "timeline/frame_hit.h"

#include <algorithm>

#include "model/methods.h"
#include "timeline/geometry.h"

namespace bruvik {
namespace {

// A narrow bar is found within this many pixels of it.
constexpr double kReachPx = 3;

double gap(const Rect& r, Point p) {
  const double dx = p.x < r.left() ? r.left() - p.x : p.x >= r.right() ? p.x - r.right() : 0;
  const double dy = p.y < r.top() ? r.top() - p.y : p.y >= r.bottom() ? p.y - r.bottom() : 0;
  return std::max(dx, dy);
}

}  // namespace

std::optional<FrameHit> frame_at(const TimelinePicture& picture, int x, int y) {
  const Point at{x + 0.5, y + 0.5};
  const FrameBox* best = nullptr;
  double best_gap = kReachPx;
  // The last box drawn over the point is the one seen there.
  for (auto it = picture.boxes.rbegin(); it != picture.boxes.rend(); ++it) {
    if (it->rect.contains(at)) {
      best = &*it;
      break;
    }
    const double d = gap(it->rect, at);
    if (d < best_gap) {
      best = &*it;
      best_gap = d;
    }
  }
  if (best == nullptr) return std::nullopt;
  FrameHit hit;
  hit.frame = picture.frames[best->id];
  for (const std::size_t j : overlap_partners(picture.frames, best->id)) {
    hit.partners.push_back(picture.frames[j]);
  }
  hit.bar = best->rect;
  return hit;
}

std::string frame_tooltip(const FrameHit& hit) {
  const BusFrame& f = hit.frame;
  std::string text = "Station " + std::to_string(f.station) + ", " +
                     methods()[static_cast<std::size_t>(std::clamp<int>(f.method, 0, 4))].name +
                     "\nSent at " + seconds_text(f.sent, 3) + ", ";
  text += (f.ended ? "off the bus at " : "still on the bus at ") + seconds_text(f.off, 3);
  if (hit.partners.empty()) {
    text += "\nOverlapped no other frame";
  } else {
    text += "\nOverlapped ";
    for (std::size_t i = 0; i < hit.partners.size(); ++i) {
      const BusFrame& o = hit.partners[i];
      if (i > 0) text += ", ";
      text += "station " + std::to_string(o.station) + " (sent at " + seconds_text(o.sent, 3) + ")";
    }
  }
  text += f.counted ? "\nCounted as a collision" : "\nNot counted as a collision";
  return text;
}

}  // namespace bruvik
