#include "ui/timeline_canvas.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "timeline/frame_hit.h"
#include "timeline/geometry.h"
#include "timeline/layout.h"

namespace bruvik {

TimelineCanvas::TimelineCanvas(const RunRecord& record, QWidget* parent)
    : QWidget(parent), record_(record), style_(timeline_style()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(QStringLiteral("Timeline of the bus"));
  setFocusPolicy(Qt::StrongFocus);
  setToolTip(
      QStringLiteral("Click a moment (or press Enter for the right edge) to go there. Wheel: zoom. "
                     "Drag: go back in time while paused."));
}

double TimelineCanvas::plot_px() const {
  measure();
  return plot_width_;
}

double TimelineCanvas::plot_left() const {
  measure();
  return plot_left_;
}

void TimelineCanvas::measure() const {
  if (plot_for_ == size()) return;
  plot_for_ = size();
  const TimelineGeometry g = timeline_geometry(area(), 0, 1, style_, measure_);
  plot_width_ = std::max(1.0, g.plot.w);
  plot_left_ = g.plot.left();
  const QRectF rows(g.plot.left() - 2, g.methods.top(), width() - g.plot.left() + 2,
                    g.plot.bottom() - g.methods.top());
  const QRectF axis(0, g.axis.top(), width(), g.axis.h);
  moving_ = QRegion(rows.toAlignedRect()).united(axis.toAlignedRect());
}

TimelineSpan TimelineCanvas::span() const {
  return view_.span(plot_px());
}

void TimelineCanvas::show_moment(VirtualMs now, VirtualMs end, std::optional<VirtualMs> finish) {
  view_.show_moment(now, end, finish);
  // What was last asked to be painted: nothing is repainted until it changes.
  if (view_.moved(record_, plot_px())) update(moving());
}

QRegion TimelineCanvas::moving() const {
  measure();
  return moving_;
}

void TimelineCanvas::follow() {
  view_.follow();
  changed();
}

void TimelineCanvas::zoom(double steps, double x) {
  if (view_.zoom(steps, x - plot_left(), plot_px())) changed();
}

void TimelineCanvas::changed() {
  update(moving());
  if (on_view_changed) on_view_changed();
}

void TimelineCanvas::paintEvent(QPaintEvent* event) {
  const qreal ratio = devicePixelRatioF();
  if (backdrop_.size() != size() * ratio) {
    backdrop_ = QPixmap(size() * ratio);
    backdrop_.setDevicePixelRatio(ratio);
    TimelinePicture backdrop;
    add_timeline_backdrop(backdrop, area(), style_, measure_);
    QPainter b(&backdrop_);
    draw_picture(b, backdrop);
  }
  QPainter p(this);
  // The content paints its own background: the picture is needed only where nothing moves.
  for (const QRect& part : event->region().subtracted(moving())) {
    p.drawPixmap(part, backdrop_,
                 QRectF(QRectF(part).topLeft() * ratio, QSizeF(part.size()) * ratio));
  }
  draw_picture(p, content(span()));
}

const TimelinePicture& TimelineCanvas::content(const TimelineSpan& span) const {
  if (content_span_ == span && content_size_ == size() && content_events_ == record_.size() &&
      !content_.items.empty()) {
    return content_;
  }
  content_ = TimelinePicture();
  content_.width = width();
  content_.height = height();
  add_timeline_content(content_, area(), record_, span, style_, measure_);
  content_span_ = span;
  content_size_ = size();
  content_events_ = record_.size();
  return content_;
}

void TimelineCanvas::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0) zoom(steps, event->position().x());
  event->accept();
}

VirtualMs TimelineCanvas::moment_at(double x) const {
  return view_.moment_at(x - plot_left(), plot_px());
}

void TimelineCanvas::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && on_go_to) {
    on_go_to(view_.right_moment(plot_px()));
    return;
  }
  QWidget::keyPressEvent(event);
}

void TimelineCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    press_x_ = event->position().x();
  }
  if (event->button() != Qt::LeftButton || !may_pan || !may_pan()) {
    QWidget::mousePressEvent(event);
    return;
  }
  dragging_ = true;
  drag_x_ = event->position().x();
  view_.begin_drag(plot_px());
  setCursor(Qt::ClosedHandCursor);
}

void TimelineCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  view_.drag(event->position().x() - drag_x_, plot_px());
  changed();
}

void TimelineCanvas::mouseReleaseEvent(QMouseEvent* event) {
  // A click, not a drag: the window goes to that moment.
  const bool click = pressed_ && event->button() == Qt::LeftButton &&
                     std::abs(event->position().x() - press_x_) < 4;
  const double x = press_x_;
  pressed_ = false;
  if (dragging_) {
    dragging_ = false;
    unsetCursor();
  } else {
    QWidget::mouseReleaseEvent(event);
  }
  if (click && on_go_to) on_go_to(moment_at(x));
}

bool TimelineCanvas::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  auto* help = static_cast<QHelpEvent*>(event);
  // The boxes of the content as drawn.
  const std::optional<FrameHit> hit = frame_at(content(span()), help->pos().x(), help->pos().y());
  if (hit) {
    const Rect& bar = hit->bar;
    QToolTip::showText(help->globalPos(), QString::fromStdString(frame_tooltip(*hit)), this,
                       QRectF(bar.x, bar.y, bar.w, bar.h).toAlignedRect());
  } else {
    QToolTip::showText(help->globalPos(), toolTip(), this);
  }
  return true;
}

}  // namespace bruvik
