#include "timeline/pane_span.h"

#include <algorithm>
#include <cmath>

#include "history/bus_frames.h"
#include "model/numtext.h"

namespace bruvik {
namespace {

constexpr double kZoomPerStep = 1.25;

}  // namespace

double PaneSpan::ms_per_px(double plot_px) const {
  return static_cast<double>(length_) / std::max(1.0, plot_px);
}

VirtualMs PaneSpan::step(double plot_px) const {
  return std::max<VirtualMs>(1, static_cast<VirtualMs>(std::floor(ms_per_px(plot_px))));
}

void PaneSpan::show_moment(VirtualMs now, VirtualMs end, std::optional<VirtualMs> finish) {
  now_ = now;
  end_ = end;
  finish_ = finish;
}

TimelineSpan PaneSpan::span(double plot_px) const {
  VirtualMs right = right_;
  if (following_) {
    // A long span moves on by whole pixels, so that it is not repainted for nothing.
    const VirtualMs by = step(plot_px);
    // After the finish, the last frames stay in sight (a frame time after it).
    const VirtualMs present =
        finish_ && *finish_ + kFrameTimeMs < now_ ? *finish_ + kFrameTimeMs : now_;
    right = (present + by - 1) / by * by;
  }
  // Until the run is longer than the span, the span begins with it.
  if (following_ && length_ >= std::max(now_, end_)) right = length_;
  right = std::max(right, length_);
  TimelineSpan s;
  s.from = right - length_;
  s.to = right;
  s.cursor = now_;
  s.end = std::max(end_, now_);
  return s;
}

bool PaneSpan::moved(const RunRecord& record, double plot_px) {
  const TimelineSpan s = span(plot_px);
  const VirtualMs by = step(plot_px);
  const auto events = record.events();
  Shown key;
  key.from = s.from;
  key.to = s.to;
  key.cursor = s.cursor / by;
  key.end = s.end / by;
  // What the record added shows once it is a pixel's worth; a record cut back shows at once.
  key.events = events.size() < shown_.events || by == 1
                   ? events.size()
                   : static_cast<std::size_t>((events.empty() ? 0 : events.back().time) / by);
  if (key == shown_) return false;
  shown_ = key;
  return true;
}

void PaneSpan::follow() {
  following_ = true;
  shown_ = Shown();
}

void PaneSpan::set_right(VirtualMs right) {
  if (right >= now_) {
    following_ = true;
  } else {
    following_ = false;
    right_ = std::max(right, length_);
  }
  shown_ = Shown();
}

bool PaneSpan::zoom(double steps, double x, double plot_px) {
  const TimelineSpan before = span(plot_px);
  const auto length = static_cast<VirtualMs>(
      std::llround(static_cast<double>(length_) / std::pow(kZoomPerStep, steps)));
  const VirtualMs next = std::clamp(length, kShortestMs, std::max({end_, now_, kDefaultMs}));
  if (next == length_) return false;
  if (following_) {
    length_ = next;
    shown_ = Shown();
    return true;
  }
  // The moment under the mouse stays where it is.
  const double share = std::clamp(x, 0.0, std::max(1.0, plot_px)) / std::max(1.0, plot_px);
  const double at = static_cast<double>(before.from) + share * static_cast<double>(length_);
  length_ = next;
  set_right(static_cast<VirtualMs>(std::llround(at + (1 - share) * static_cast<double>(next))));
  return true;
}

void PaneSpan::drag(double dx, double plot_px) {
  set_right(drag_right_ - static_cast<VirtualMs>(std::llround(dx * ms_per_px(plot_px))));
}

VirtualMs PaneSpan::moment_at(double x, double plot_px) const {
  const TimelineSpan s = span(plot_px);
  const double t = static_cast<double>(s.from) + std::clamp(x, 0.0, plot_px) * ms_per_px(plot_px);
  return std::clamp<VirtualMs>(static_cast<VirtualMs>(std::llround(t)), 0, last());
}

VirtualMs PaneSpan::right_moment(double plot_px) const {
  return std::min(span(plot_px).to, last());
}

std::string span_shown_text(VirtualMs length) {
  // One decimal under ten seconds. An exact half (0.25 s, 10.5 s) is written upwards, as the
  // window has always written it, where fmt rounds it to even.
  const bool tenths = length < 10000;
  double seconds = static_cast<double>(length) / 1000.0;
  if (tenths && length % 500 == 250) seconds = static_cast<double>((length + 50) / 100) / 10;
  if (!tenths && length % 1000 == 500) seconds = static_cast<double>((length + 500) / 1000);
  return numtext::fixed(seconds, tenths ? 1 : 0) + " s shown";
}

}  // namespace bruvik
