// The drawing of the timeline pane: the last seconds of the run, following the clock; the wheel
// zooms, a drag pans while the run is paused or finished, a frame under the mouse tells its
// story in a tooltip. Repaints only when what it shows has changed.
#pragma once

#include <QPixmap>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <optional>

#include "history/record.h"
#include "timeline/pane_span.h"
#include "timeline/picture.h"
#include "timeline/stretch.h"
#include "timeline/style.h"
#include "ui/timeline_qpainter.h"

namespace bruvik {

class TimelineCanvas : public QWidget {
 public:
  TimelineCanvas(const RunRecord& record, QWidget* parent = nullptr);

  // The clock's present and where the record stops, once a display frame; and when the run
  // finished, if it has: following, the pane then shows the run's end, not the idle seconds
  // that go on counting after it.
  void show_moment(VirtualMs now, VirtualMs end, std::optional<VirtualMs> finish = {});

  // What is shown now.
  TimelineSpan span() const;
  VirtualMs span_ms() const { return view_.length(); }
  bool following() const { return view_.following(); }
  // Back to the present, following the clock.
  void follow();
  // Zooms by wheel steps (positive: in) around the time at x.
  void zoom(double steps, double x);

  // True while a drag may pan: the run is paused or has finished.
  std::function<bool()> may_pan;
  // The span's length or following changed.
  std::function<void()> on_view_changed;
  // A click on a moment (or Enter: the moment at the right edge of what is shown) asks the
  // window to go there.
  std::function<void(VirtualMs)> on_go_to;
  // The moment at x in the canvas, within the run so far.
  VirtualMs moment_at(double x) const;

  QSize sizeHint() const override { return {900, 220}; }
  QSize minimumSizeHint() const override { return {360, 160}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  double plot_px() const;
  // Where the plot begins, for the span's pixels counted from there.
  double plot_left() const;
  void measure() const;
  void changed();
  // The part that moves with time: the method names, the rows and the axis.
  QRegion moving() const;
  Rect area() const { return {0, 0, static_cast<double>(width()), static_cast<double>(height())}; }
  // The content as last laid out for `span` and the record's size, whose boxes the hit test
  // reads; laid out afresh when either changed.
  const TimelinePicture& content(const TimelineSpan& span) const;

  const RunRecord& record_;
  TimelineStyle style_;
  QtTextMeasure measure_;
  QPixmap backdrop_;        // the rows and the legend, drawn again only when the size changes
  mutable QSize plot_for_;  // the size the plot's width and the moving part were found for
  mutable double plot_width_ = 1;
  mutable double plot_left_ = 0;
  mutable QRegion moving_;
  mutable TimelinePicture content_;
  mutable TimelineSpan content_span_;
  mutable QSize content_size_;
  mutable std::size_t content_events_ = 0;
  PaneSpan view_;  // what is shown, decided as the page's pane decides it
  // A drag: where it began.
  bool dragging_ = false;
  bool pressed_ = false;
  double press_x_ = 0;
  double drag_x_ = 0;
};

}  // namespace bruvik
