// What the timeline pane shows, whatever draws it: a span of some length that follows the clock
// or stays at a right edge, zoomed by wheel steps and panned by a drag. The window's pane and the
// page hold one each, so that both show the same stretch of a run in a plot of the same width.
#pragma once

#include <algorithm>
#include <optional>
#include <string>

#include "history/record.h"
#include "timeline/stretch.h"

namespace bruvik {

class PaneSpan {
 public:
  static constexpr VirtualMs kDefaultMs = 3000;
  static constexpr VirtualMs kShortestMs = 200;

  // The clock's present and where the record stops, once a display frame; and when the run
  // finished, if it has: following, the span then shows the run's end, not the idle seconds
  // that go on counting after it.
  void show_moment(VirtualMs now, VirtualMs end, std::optional<VirtualMs> finish = {});

  // What is shown in a plot `plot_px` wide.
  TimelineSpan span(double plot_px) const;
  VirtualMs length() const { return length_; }
  bool following() const { return following_; }
  VirtualMs now() const { return now_; }
  // The latest moment there is to go to.
  VirtualMs last() const { return std::max(now_, end_); }

  // True when a picture of the moment would differ from the last one this said so of: the span
  // moved, the cursor or the record's end went a pixel on, the record grew by a pixel's worth
  // or was cut back. Every change of the span below counts as well.
  bool moved(const RunRecord& record, double plot_px);

  // Back to the present, following the clock.
  void follow();
  // Zooms by wheel steps (positive: in) around the moment `x` pixels into the plot. Returns
  // true when the length changed.
  bool zoom(double steps, double x, double plot_px);
  // The right edge at `right`; following again once it reaches the present.
  void set_right(VirtualMs right);
  // A drag: where the right edge was when it began, then moved `dx` pixels from there
  // (positive: back in time).
  void begin_drag(double plot_px) { drag_right_ = span(plot_px).to; }
  void drag(double dx, double plot_px);
  // The moment `x` pixels into the plot, within the run so far.
  VirtualMs moment_at(double x, double plot_px) const;
  // Enter: the moment at the right edge of what is shown.
  VirtualMs right_moment(double plot_px) const;

 private:
  double ms_per_px(double plot_px) const;
  VirtualMs step(double plot_px) const;

  VirtualMs now_ = 0;
  VirtualMs end_ = 0;
  std::optional<VirtualMs> finish_;
  VirtualMs length_ = kDefaultMs;
  bool following_ = true;
  VirtualMs right_ = kDefaultMs;  // the right edge while not following
  VirtualMs drag_right_ = 0;
  struct Shown {
    VirtualMs from = -1, to = -1, cursor = -1, end = -1;
    std::size_t events = 0;
    bool operator==(const Shown&) const = default;
  } shown_;
};

// "2.4 s shown": the span's length as the pane's header gives it.
std::string span_shown_text(VirtualMs length);

}  // namespace bruvik
