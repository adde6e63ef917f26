// The timeline pane under the window: a header with the running method's figures and the Follow
// button over the timeline itself. It docks under the control strip or floats in a window of
// its own; whether it is shown, whether it floats and where are remembered between starts.
#pragma once

#include <QDockWidget>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

#include <functional>
#include <memory>

#include "history/record.h"
#include "timeline/method_spans.h"
#include "ui/timeline_canvas.h"

namespace bruvik {

// Whether a window of `size` (its client area) fits the screen's `available` area, with room
// for the window manager's frame.
bool window_fits(QSize size, const QRect& available);

class TimelinePane : public QDockWidget {
 public:
  TimelinePane(const RunRecord& record, QWidget* parent = nullptr);
  ~TimelinePane() override;

  TimelineCanvas& canvas() const { return *canvas_; }
  QLabel* header() const { return header_; }
  QPushButton* follow_button() const { return follow_; }

  // Keeps `toggle` (a checkable button) and the pane's visibility in step.
  void wire(QAbstractButton* toggle);

  // Once a display frame: the present and where the record stops. Does nothing while hidden.
  void sync(VirtualMs now, VirtualMs end);
  // True while the run is paused (a drag may then pan); the pane adds "or finished".
  std::function<bool()> paused;
  // Where the pane may go when shown: the screen's free area and the window's frame; without
  // room for it docked, it floats beside the window or over the window's lower part.
  std::function<bool()> docked_fits;
  std::function<QRect()> screen_area;
  std::function<QRect()> window_frame;
  // Moves the window by `dx` pixels, to the screen's left edge, to make room beside it; returns
  // how much of that room's top is taken (by the lesson, moved there too).
  std::function<int(int dx)> shift_window;

  // Reads the remembered choices and keeps them from now on. Without any, the pane is shown
  // when it fits docked under the window as designed. A docked pane that does not `fit` (even
  // with the window drawn a little smaller) is not shown.
  void remember_choices(bool fits_as_designed, bool fits);
  // Nothing more is written (the window is closing and takes the pane with it).
  void stop_remembering() { settings_.reset(); }

 protected:
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void save_geometry();
  // Shows the pane, floating where the screen has no room for it docked.
  void show_where_it_fits();
  void update_header(bool now);

  const RunRecord& record_;
  QLabel* header_;
  QLabel* zoom_;
  QPushButton* follow_;
  TimelineCanvas* canvas_;
  MethodSpans spans_;
  VirtualMs now_ = 0;
  int frames_since_figures_ = 0;
  int method_shown_ = -2;
  std::unique_ptr<QSettings> settings_;  // only while the choices are remembered
};

}  // namespace bruvik
