#include "ui/control_strip.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <limits>

#include "ui/control_widgets.h"
#include "ui/look.h"

namespace bruvik {
namespace {

// The time slider: while the run goes on its numbers change every frame, but its handle moves a
// pixel only now and then; it is repainted only then. Range and value are set as one change:
// the range alone puts the handle off the end for a moment, which would repaint every frame.
class TimeSlider : public QSlider {
 public:
  using QSlider::QSlider;

  void show_span(int end, int now) {
    settling_ = true;
    setRange(0, end);
    setValue(now);
    settling_ = false;
    if (moved()) update();
  }

 protected:
  void sliderChange(SliderChange change) override {
    if (change == SliderValueChange || change == SliderRangeChange) {
      if (settling_ || !moved()) return;  // the base only repaints
    }
    QSlider::sliderChange(change);
  }
  void resizeEvent(QResizeEvent* event) override {
    painted_at_ = -1;
    QSlider::resizeEvent(event);
  }

 private:
  bool moved() {
    const int at = QStyle::sliderPositionFromValue(minimum(), maximum(), value(), width());
    const bool full = value() == maximum();
    if (at == painted_at_ && full == painted_full_) return false;
    painted_at_ = at;
    painted_full_ = full;
    return true;
  }

  bool settling_ = false;
  int painted_at_ = -1;
  bool painted_full_ = false;
};

}  // namespace

ControlStrip::ControlStrip(std::uint64_t seed, double speed, QWidget* parent) : QWidget(parent) {
  setFont(control_font(kDefaultFontPoints, false));
  auto* rows = rows_ = new QVBoxLayout(this);
  rows->setContentsMargins(8, 4, 8, 4);
  rows->setSpacing(2);
  auto* row = first_ = new QHBoxLayout;
  row->setSpacing(8);
  rows->addLayout(row);

  auto* time_caption = new QLabel(QStringLiteral("Time"), this);
  time_ = new QLabel(format_run_time(0), this);
  time_->setAccessibleName(QStringLiteral("Virtual time of the run"));
  time_->setMinimumWidth(time_->fontMetrics().horizontalAdvance(QStringLiteral("000:00.0")));
  // Changed ten times a second: filled by itself, so that the strip behind it is not repainted.
  time_->setAutoFillBackground(true);

  seed_ = new QLabel(QStringLiteral("Seed %1").arg(seed), this);
  seed_->setAccessibleName(QStringLiteral("Seed %1").arg(seed));
  seed_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  seed_->setToolTip(
      QStringLiteral("A run depends on its seed and on the moments of your actions: pressing "
                     "\"EnableThe Computers\" at another moment gives another run of the same "
                     "seed. A saved experiment keeps both."));

  auto* speed_caption = new QLabel(QStringLiteral("Spee&d"), this);
  speed_ = new QComboBox(this);
  for (const SpeedChoice& c : speed_choices()) speed_->addItem(QString::fromUtf8(c.text), c.speed);
  speed_->setCurrentIndex(speed_index(speed));
  speed_->setAccessibleName(QStringLiteral("Speed"));
  speed_caption->setBuddy(speed_);

  pause_ = new EnterButton(this);
  pause_->setAutoDefault(false);
  step_ = new EnterButton(QStringLiteral("&Step"), this);
  step_->setAutoDefault(false);
  step_->setAccessibleName(QStringLiteral("Step"));
  step_->setToolTip(QStringLiteral("Run to the next attempt of a station, then pause (Alt+S)"));
  show_paused(false);
  timeline_ = new EnterButton(QStringLiteral("&Timeline"), this);
  timeline_->setObjectName(QStringLiteral("timeline"));
  timeline_->setAutoDefault(false);
  timeline_->setCheckable(true);
  timeline_->setAccessibleName(QStringLiteral("Timeline"));
  timeline_->setToolTip(QStringLiteral("Show or hide the timeline of the bus (Alt+T)"));

  lesson_ = new EnterButton(QStringLiteral("&Lesson"), this);
  lesson_->setAutoDefault(false);
  lesson_->setCheckable(true);
  lesson_->setAccessibleName(QStringLiteral("Lesson"));
  lesson_->setToolTip(QStringLiteral("Show or hide the open experiment's lesson (Alt+L)"));
  lesson_->hide();
  // Going back in time: the slider, Back to the attempt before, Save and Open an experiment.
  slider_ = new TimeSlider(Qt::Horizontal, this);
  slider_->setFocusPolicy(Qt::StrongFocus);
  slider_->setSingleStep(1000);
  slider_->setPageStep(10000);
  slider_->setRange(0, 0);
  slider_->setMinimumWidth(160);
  slider_->setAccessibleName(QStringLiteral("Time to show"));
  slider_->setToolTip(
      QStringLiteral("Drag back to see the run as it was then; Resume runs on from there "
                     "(arrow keys: 1 s, Page Up and Page Down: 10 s)"));
  back_ = new EnterButton(QStringLiteral("&Back"), this);
  back_->setAutoDefault(false);
  back_->setAccessibleName(QStringLiteral("Back"));
  back_->setToolTip(
      QStringLiteral("Go back to the attempt of a station before this one, paused "
                     "(Alt+B)"));
  save_ = new EnterButton(QStringLiteral("Save..."), this);
  save_->setAutoDefault(false);
  save_->setAccessibleName(QStringLiteral("Save experiment"));
  save_->setToolTip(QStringLiteral("Save this run as an experiment file (Ctrl+S)"));
  open_ = new EnterButton(QStringLiteral("Open..."), this);
  open_->setAutoDefault(false);
  open_->setAccessibleName(QStringLiteral("Open experiment"));
  open_->setToolTip(
      QStringLiteral("Open an experiment file and replay it (Ctrl+O); a link to a moment can be "
                     "pasted into its file name"));

  message_ = new QLabel(this);
  message_->setAccessibleName(QStringLiteral("Message"));
  // A long message is cut, never widening the window.
  message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  row->addWidget(time_caption);
  row->addWidget(time_);
  row->addSpacing(8);
  row->addWidget(seed_);
  row->addSpacing(8);
  row->addWidget(speed_caption);
  row->addWidget(speed_);
  row->addWidget(pause_);
  row->addWidget(step_);
  row->addWidget(slider_, 1);
  row->addWidget(back_);
  row->addWidget(save_);
  row->addWidget(open_);
  // The second row: the timeline's switch and the messages (the first is full).
  auto* second = second_ = new QHBoxLayout;
  second->setSpacing(8);
  second->addWidget(timeline_);
  second->addWidget(lesson_);
  second->addWidget(message_, 1);
  rows->addLayout(second);
}

void ControlStrip::show_time(VirtualMs ms) {
  const VirtualMs tenths = ms / 100;
  if (tenths == shown_tenths_) return;  // repaint only when the text changes
  shown_tenths_ = tenths;
  time_->setText(format_run_time(ms));
}

void ControlStrip::show_paused(bool paused) {
  // Asked every frame: a tooltip or a name set anew is an event to every listener.
  if (shown_paused_ == paused) return;
  shown_paused_ = paused;
  pause_->setText(paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
  pause_->setAccessibleName(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
  pause_->setToolTip(
      paused ? QStringLiteral("Let the clock run again (Alt+R or the Pause key)")
             : QStringLiteral("Stop the clock; the window stays usable (Alt+P or the Pause key)"));
}

void ControlStrip::show_speed(double speed) {
  const QSignalBlocker quiet(speed_);
  speed_->setCurrentIndex(speed_index(speed));
}

void ControlStrip::show_message(const QString& message) {
  message_->setText(message);
  message_->setToolTip(one_row_ ? message : QString());
}

void ControlStrip::set_one_row(bool one) {
  if (one == one_row_) return;
  one_row_ = one;
  QBoxLayout* to = one ? first_ : second_;
  for (QWidget* w : {static_cast<QWidget*>(timeline_), static_cast<QWidget*>(lesson_),
                     static_cast<QWidget*>(message_)}) {
    first_->removeWidget(w);
    second_->removeWidget(w);
  }
  to->addWidget(timeline_);
  to->addWidget(lesson_);
  to->addWidget(message_, one ? 2 : 1);
  message_->setMinimumWidth(1);
  // The buttons as wide as their words, so that the message has room beside them.
  for (QPushButton* b : {pause_, step_, back_, save_, open_, timeline_, lesson_}) {
    const int words = b->fontMetrics().horizontalAdvance(QStringLiteral("Resume")) + 20;
    b->setMaximumWidth(one ? std::max(words, b->fontMetrics().horizontalAdvance(b->text()) + 20)
                           : QWIDGETSIZE_MAX);
  }
  slider_->setMinimumWidth(one ? 100 : 160);
  rows_->setContentsMargins(8, one ? 2 : 4, 8, one ? 2 : 4);
  rows_->setSpacing(one ? 0 : 2);
  show_message(message_->text());
}

void ControlStrip::show_span(VirtualMs now, VirtualMs end) {
  if (slider_->isSliderDown()) return;
  const auto clamp = [](VirtualMs ms) {
    return static_cast<int>(std::clamp<VirtualMs>(ms, 0, std::numeric_limits<int>::max()));
  };
  const QSignalBlocker quiet(slider_);
  static_cast<TimeSlider*>(slider_)->show_span(clamp(end), clamp(now));
}

void ControlStrip::show_seed(std::uint64_t seed) {
  seed_->setText(QStringLiteral("Seed %1").arg(seed));
  seed_->setAccessibleName(seed_->text());
}

}  // namespace bruvik
