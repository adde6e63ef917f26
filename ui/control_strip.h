// The strip under the designed client area: the run's virtual time, the seed, the speed,
// Pause/Resume and Step, the time slider with Back, Save and Open, the timeline's switch, and a
// line for short messages to the user.
#pragma once

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <span>

#include "model/clock.h"
#include "session/strip_texts.h"

namespace bruvik {

// "03:27.4": minutes, seconds and tenths of a virtual time.
inline QString format_run_time(VirtualMs ms) {
  return QString::fromStdString(run_time_text(ms));
}

class ControlStrip : public QWidget {
 public:
  ControlStrip(std::uint64_t seed, double speed, QWidget* parent = nullptr);

  void show_time(VirtualMs ms);
  void show_paused(bool paused);
  // Shows a speed the pacer chose itself; nothing is told back.
  void show_speed(double speed);
  void show_message(const QString& message);
  // The slider from 0 to `end` (the furthest moment to go back to), its handle at `now`; left
  // alone while the user holds it.
  void show_span(VirtualMs now, VirtualMs end);
  void show_seed(std::uint64_t seed);
  // One row for a short screen: the timeline's switch and the messages join the first row
  // (a long message is cut there and told whole in its tooltip); else two rows.
  void set_one_row(bool one);
  bool one_row() const { return one_row_; }

  QComboBox* speed_box() const { return speed_; }
  QPushButton* pause_button() const { return pause_; }
  QPushButton* step_button() const { return step_; }
  QSlider* time_slider() const { return slider_; }
  QPushButton* back_button() const { return back_; }
  QPushButton* save_button() const { return save_; }
  QPushButton* open_button() const { return open_; }
  QPushButton* timeline_button() const { return timeline_; }
  // Shown while an experiment with a title or note is open: it shows its lesson again.
  QPushButton* lesson_button() const { return lesson_; }
  QLabel* time_label() const { return time_; }
  QLabel* seed_label() const { return seed_; }
  QLabel* message_label() const { return message_; }

 private:
  std::optional<bool> shown_paused_;
  QLabel* time_;
  QLabel* seed_;
  QComboBox* speed_;
  QPushButton* pause_;
  QPushButton* step_;
  QSlider* slider_;
  QPushButton* back_;
  QPushButton* save_;
  QPushButton* open_;
  QPushButton* timeline_;
  QPushButton* lesson_;
  QLabel* message_;
  QBoxLayout* rows_;
  QBoxLayout* first_;
  QBoxLayout* second_;
  bool one_row_ = false;
  VirtualMs shown_tenths_ = -1;
};

}  // namespace bruvik
