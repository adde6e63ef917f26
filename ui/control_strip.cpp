#include "ui/control_strip.h"

#include <QHBoxLayout>

#include <array>

#include "ui/control_widgets.h"
#include "ui/look.h"

namespace bruvik {
namespace {

constexpr std::array<SpeedChoice, 8> kSpeeds{{
    {0.25, "0.25x"},
    {0.5, "0.5x"},
    {1, "1x"},
    {2, "2x"},
    {5, "5x"},
    {10, "10x"},
    {50, "50x"},
    {0, "As fast as possible"},
}};

}  // namespace

std::span<const SpeedChoice> speed_choices() {
  return kSpeeds;
}

QString format_run_time(VirtualMs ms) {
  if (ms < 0) ms = 0;
  const VirtualMs tenths = ms / 100;
  return QStringLiteral("%1:%2.%3")
      .arg(tenths / 600, 2, 10, QLatin1Char('0'))
      .arg((tenths / 10) % 60, 2, 10, QLatin1Char('0'))
      .arg(tenths % 10);
}

ControlStrip::ControlStrip(std::uint64_t seed, double speed, QWidget* parent) : QWidget(parent) {
  setFont(control_font(kDefaultFontPoints, false));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 4, 8, 4);
  row->setSpacing(8);

  auto* time_caption = new QLabel(QStringLiteral("Time"), this);
  time_ = new QLabel(format_run_time(0), this);
  time_->setAccessibleName(QStringLiteral("Virtual time of the run"));
  time_->setMinimumWidth(time_->fontMetrics().horizontalAdvance(QStringLiteral("000:00.0")));

  seed_ = new QLabel(QStringLiteral("Seed %1").arg(seed), this);
  seed_->setAccessibleName(QStringLiteral("Seed %1").arg(seed));
  seed_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* speed_caption = new QLabel(QStringLiteral("Spee&d"), this);
  speed_ = new QComboBox(this);
  for (const SpeedChoice& c : kSpeeds) speed_->addItem(QString::fromUtf8(c.text), c.speed);
  int initial = 2;  // 1x
  for (int i = 0; i < int(kSpeeds.size()); ++i) {
    if (kSpeeds[static_cast<std::size_t>(i)].speed == speed) initial = i;
  }
  speed_->setCurrentIndex(initial);
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

  message_ = new QLabel(this);
  message_->setAccessibleName(QStringLiteral("Message"));

  row->addWidget(time_caption);
  row->addWidget(time_);
  row->addSpacing(8);
  row->addWidget(seed_);
  row->addSpacing(8);
  row->addWidget(speed_caption);
  row->addWidget(speed_);
  row->addWidget(pause_);
  row->addWidget(step_);
  row->addWidget(timeline_);
  row->addSpacing(8);
  row->addWidget(message_, 1);
}

void ControlStrip::show_time(VirtualMs ms) {
  const VirtualMs tenths = ms / 100;
  if (tenths == shown_tenths_) return;  // repaint only when the text changes
  shown_tenths_ = tenths;
  time_->setText(format_run_time(ms));
}

void ControlStrip::show_paused(bool paused) {
  pause_->setText(paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
  pause_->setAccessibleName(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
  pause_->setToolTip(
      paused ? QStringLiteral("Let the clock run again (Alt+R or the Pause key)")
             : QStringLiteral("Stop the clock; the window stays usable (Alt+P or the Pause key)"));
}

void ControlStrip::show_message(const QString& message) {
  message_->setText(message);
}

}  // namespace bruvik
