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
namespace {

constexpr double kZoomPerStep = 1.25;

}  // namespace

TimelineCanvas::TimelineCanvas(const RunRecord& record, QWidget* parent)
    : QWidget(parent), record_(record), style_(timeline_style()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(QStringLiteral("Timeline of the bus"));
  setFocusPolicy(Qt::StrongFocus);
  setToolTip(
      QStringLiteral("Click a moment (or press Enter for the right edge) to go there. Wheel: zoom. "
                     "Drag: go back in time while paused."));
}

double TimelineCanvas::ms_per_px() const {
  measure();
  return static_cast<double>(length_) / plot_width_;
}

void TimelineCanvas::measure() const {
  if (plot_for_ == size()) return;
  plot_for_ = size();
  const TimelineGeometry g = timeline_geometry(area(), 0, 1, style_, measure_);
  plot_width_ = std::max(1.0, g.plot.w);
  const QRectF rows(g.plot.left() - 2, g.methods.top(), width() - g.plot.left() + 2,
                    g.plot.bottom() - g.methods.top());
  const QRectF axis(0, g.axis.top(), width(), g.axis.h);
  moving_ = QRegion(rows.toAlignedRect()).united(axis.toAlignedRect());
}

VirtualMs TimelineCanvas::longest() const {
  return std::max({end_, now_, kDefaultSpanMs});
}

TimelineSpan TimelineCanvas::span() const {
  VirtualMs right = right_;
  if (following_) {
    // A long span moves on by whole pixels, so that it is not repainted for nothing.
    const auto step = std::max<VirtualMs>(1, static_cast<VirtualMs>(std::floor(ms_per_px())));
    // After the finish, the last frames stay in sight (a frame time after it).
    const VirtualMs present =
        finish_ && *finish_ + kFrameTimeMs < now_ ? *finish_ + kFrameTimeMs : now_;
    right = (present + step - 1) / step * step;
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

void TimelineCanvas::show_moment(VirtualMs now, VirtualMs end, std::optional<VirtualMs> finish) {
  now_ = now;
  end_ = end;
  finish_ = finish;
  const TimelineSpan s = span();
  const auto step = std::max<VirtualMs>(1, static_cast<VirtualMs>(std::floor(ms_per_px())));
  const auto events = record_.events();
  Shown key;
  key.from = s.from;
  key.to = s.to;
  key.cursor = s.cursor / step;
  key.end = s.end / step;
  // What the record added shows once it is a pixel's worth; a record cut back shows at once.
  key.events = events.size() < shown_.events || step == 1
                   ? events.size()
                   : static_cast<std::size_t>((events.empty() ? 0 : events.back().time) / step);
  if (key == shown_) return;
  shown_ = key;
  update(moving());
}

QRegion TimelineCanvas::moving() const {
  measure();
  return moving_;
}

void TimelineCanvas::follow() {
  following_ = true;
  changed();
}

void TimelineCanvas::set_right(VirtualMs right) {
  if (right >= now_) {
    following_ = true;
  } else {
    following_ = false;
    right_ = std::max(right, length_);
  }
  changed();
}

void TimelineCanvas::zoom(double steps, double x) {
  const TimelineSpan before = span();
  const auto length = static_cast<VirtualMs>(
      std::llround(static_cast<double>(length_) / std::pow(kZoomPerStep, steps)));
  const VirtualMs next = std::clamp(length, kShortestSpanMs, longest());
  if (next == length_) return;
  if (following_) {
    length_ = next;
    changed();
    return;
  }
  // The time under the mouse stays where it is.
  const TimelineGeometry g = timeline_geometry(area(), before.from, before.to, style_, measure_);
  const double at = g.t_of(std::clamp(x, g.plot.left(), g.plot.right()));
  const double share = (at - static_cast<double>(before.from)) / static_cast<double>(length_);
  length_ = next;
  set_right(static_cast<VirtualMs>(std::llround(at + (1 - share) * static_cast<double>(next))));
}

void TimelineCanvas::pan(double dx) {
  if (!may_pan || !may_pan()) return;
  set_right(span().to - static_cast<VirtualMs>(std::llround(dx * ms_per_px())));
}

void TimelineCanvas::changed() {
  shown_ = Shown();
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
  const TimelineSpan s = span();
  const TimelineGeometry g = timeline_geometry(area(), s.from, s.to, style_, measure_);
  const double t = g.t_of(std::clamp(x, g.plot.left(), g.plot.right()));
  return std::clamp<VirtualMs>(static_cast<VirtualMs>(std::llround(t)), 0, std::max(now_, end_));
}

void TimelineCanvas::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && on_go_to) {
    on_go_to(std::min(span().to, std::max(now_, end_)));
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
  drag_right_ = span().to;
  setCursor(Qt::ClosedHandCursor);
}

void TimelineCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  const double dx = event->position().x() - drag_x_;
  set_right(drag_right_ - static_cast<VirtualMs>(std::llround(dx * ms_per_px())));
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
