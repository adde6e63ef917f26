// The pacer: virtual time follows the wall clock times the speed, in bounded slices; pause,
// speed changes and stalls never make it burst; Step stops right after a station's attempt; a
// run that finishes above 1x rests at 1x.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "controls/operator_controls.h"
#include "model/form.h"
#include "model/timer_table.h"
#include "session/pacer.h"
#include "sim/wiring.h"
#include "tests/window_support.h"

namespace bruvik {
namespace {

constexpr std::int64_t kMs = 1'000'000;

// A wall clock the test moves; each reading may also cost some time, like real work does.
struct Wall {
  std::int64_t now = 0;
  std::int64_t per_reading = 0;
  int readings = 0;
  Pacer::WallClock clock() {
    return [this] {
      ++readings;
      now += per_reading;
      return now;
    };
  }
};

struct Paced {
  Form1 form{11, tick_handlers()};
  Wall wall;
  Pacer pacer{form, wall.clock()};
  Paced() { prepare_form(form, 5, 5, 5, "100"); }
};

TEST(Pacer, VirtualTimeIsWallTimeTimesTheSpeed) {
  // The last two go beyond what one frame may catch up at 1x: the limit grows with the speed.
  const struct {
    double speed;
    std::int64_t wall_ms;
    VirtualMs expected;
  } cases[] = {
      {0.25, 200, 50}, {0.5, 200, 100}, {1, 200, 200}, {2, 100, 200},  {5, 40, 200},
      {10, 20, 200},   {50, 4, 200},    {1, 0, 0},     {50, 33, 1650}, {2, 250, 500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.speed);
    Paced r;
    r.pacer.set_speed(c.speed);
    r.wall.now += c.wall_ms * kMs;
    r.pacer.frame();
    EXPECT_EQ(r.form.now(), c.expected);
  }
}

TEST(Pacer, ALongStallIsDroppedNotCaughtUp) {
  Paced r;
  r.wall.now += 10'000 * kMs;  // the machine stood still for ten seconds
  r.pacer.frame();
  EXPECT_EQ(r.form.now(), 250) << "one frame catches up at most a quarter second";
  r.wall.now += 33 * kMs;
  r.pacer.frame();
  EXPECT_EQ(r.form.now(), 283) << "and then goes on from there";
}

TEST(Pacer, PauseStopsTheClockAndResumeDoesNotBurst) {
  Paced r;
  r.wall.now += 100 * kMs;
  r.pacer.frame();
  ASSERT_EQ(r.form.now(), 100);
  r.pacer.set_paused(true);
  r.wall.now += 5'000 * kMs;
  r.pacer.frame();
  EXPECT_EQ(r.form.now(), 100);
  EXPECT_EQ(r.pacer.target(), 100);
  r.pacer.set_paused(false);
  r.wall.now += 40 * kMs;
  r.pacer.frame();
  EXPECT_EQ(r.form.now(), 140);
}

TEST(Pacer, ASpeedChangeStartsAFreshOrigin) {
  Paced r;
  r.wall.now += 100 * kMs;
  r.pacer.frame();
  r.wall.now += 100 * kMs;  // not yet delivered when the speed changes
  r.pacer.set_speed(10);
  r.wall.now += 20 * kMs;
  r.pacer.frame();
  EXPECT_EQ(r.form.now(), 300) << "the 20 ms since the change at 10x, nothing at 10x before it";
}

TEST(Pacer, AFrameStaysWithinItsWallBudget) {
  // Every look at the clock costs 2 ms: at 50x a frame may not spend more than its budget.
  Paced r;
  r.pacer.set_speed(50);
  Command1_Click(r.form);
  r.wall.now += 200 * kMs;
  r.wall.per_reading = 2 * kMs;
  const std::int64_t before = r.wall.now;
  r.pacer.frame();
  EXPECT_LE(r.wall.now - before, PacerLimits{}.frame_budget_ns + 4 * kMs);
  EXPECT_GT(r.form.now(), 0);
  EXPECT_LT(r.form.now(), 200 * 50) << "the rest is dropped";
}

TEST(Pacer, AsFastAsPossibleRunsWhatFitsInAFrame) {
  Paced r;
  r.pacer.set_speed(0);
  // Before the stations are started it goes as 1x would: nothing runs that could race.
  for (int n = 1; n <= 3; ++n) {
    r.wall.now += 33 * kMs;
    r.pacer.frame();
    EXPECT_EQ(r.form.now(), 33 * n);
  }
  Command1_Click(r.form);
  r.wall.readings = 0;
  r.wall.per_reading = 1 * kMs;
  r.pacer.frame();
  const VirtualMs first = r.form.now();
  EXPECT_GT(first, 0);
  EXPECT_LE(r.wall.readings, 2 + static_cast<int>(PacerLimits{}.frame_budget_ns / kMs) + 1);
  r.wall.readings = 0;
  r.pacer.frame();
  EXPECT_GT(r.form.now(), first);
}

TEST(Pacer, StepStopsRightAfterTheNextStationAttempt) {
  Paced r;
  EXPECT_EQ(r.pacer.step().result, Pacer::StepResult::NoStationRunning);
  EXPECT_EQ(r.form.now(), 0) << "with no station running nothing is delivered";
  Command1_Click(r.form);
  for (int n = 0; n < 5; ++n) {
    SCOPED_TRACE(n);
    VirtualMs next = -1;
    for (int i = 0; i < 10; ++i) {
      const VirtualMs due = r.form.clock().due(station_timer(0, i));
      if (due >= 0 && (next < 0 || due < next)) next = due;
    }
    const std::string sent_before = r.form.Text1[0].text();
    const Pacer::StepOutcome out = r.pacer.step();
    ASSERT_EQ(out.result, Pacer::StepResult::Attempt);
    EXPECT_EQ(built_timer(out.timer).role, TimerRole::Station);
    EXPECT_EQ(built_timer(out.timer).method, 0);
    EXPECT_EQ(r.form.now(), next);
    EXPECT_NE(r.form.Text1[0].text(), sent_before) << "the attempt was sent";
    EXPECT_TRUE(r.pacer.paused());
  }
  // Paused after the steps: the wall clock moves, the virtual clock does not.
  const VirtualMs at = r.form.now();
  r.wall.now += 1'000 * kMs;
  r.pacer.frame();
  EXPECT_EQ(r.form.now(), at);
}

// The moment the last method ended, told by the core itself.
struct FinishMoment : EventSink {
  VirtualMs at = -1;
  void on_event(const Event& e) override {
    if (e.kind == EventKind::MethodEnd && e.method == kMethods - 1 && at < 0) at = e.time;
  }
};

TEST(Pacer, ARunThatFinishesAboveOneXRestsAtOneX) {
  const struct {
    const char* speed;
    std::int64_t frame_ms;  // wall time per frame, so that the slow run ends in fewer frames
    bool rests;
  } cases[] = {{"As fast as possible", 33, true}, {"50x", 33, true}, {"0.5x", 250, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.speed);
    FinishMoment finish;  // outlives the window's form
    TestWindow w;
    w.form.set_sink(&finish, event_bit(EventKind::MethodEnd));
    QComboBox* speed = w.window->strip().speed_box();
    speed->setCurrentIndex(speed->findText(QString::fromUtf8(c.speed)));
    const double chosen = w.window->pacer().speed();
    static_cast<QAbstractButton*>(w.at("Command1"))->click();
    for (int n = 0; n < 20'000 && finish.at < 0; ++n) {
      w.wall_ns += c.frame_ms * kMs;
      w.window->frame();
    }
    ASSERT_GE(finish.at, 0) << "the run did not finish";
    EXPECT_EQ(w.window->pacer().finished_at(), finish.at);
    // The slider ends at the finish, while the seconds go on.
    const auto slider_ends_at_the_finish = [&] {
      w.wall_ns += 500 * kMs;
      w.window->frame();
      EXPECT_GT(w.history->furthest().time, finish.at);
      EXPECT_EQ(w.window->strip().time_slider()->maximum(), finish.at);
    };
    const std::string message = w.window->strip().message_label()->text().toStdString();
    if (!c.rests) {
      EXPECT_EQ(w.window->pacer().speed(), chosen);
      EXPECT_EQ(speed->currentText().toStdString(), c.speed);
      EXPECT_EQ(message, "");
      slider_ends_at_the_finish();
      continue;
    }
    EXPECT_EQ(w.form.now(), finish.at) << "the frame stops at the tick that finished the run";
    EXPECT_EQ(w.window->pacer().speed(), 1);
    EXPECT_EQ(speed->currentText().toStdString(), "1x");
    EXPECT_EQ(message, "The run has finished; the speed is back at 1x.");
    // Two seconds of wall time: two seconds of virtual time, which the seconds clock counts.
    const double seconds = w.form.Text7.number();
    for (int n = 0; n < 60; ++n) {
      w.wall_ns += 33 * kMs;
      w.window->frame();
    }
    EXPECT_EQ(w.form.now(), finish.at + 60 * 33);
    EXPECT_GE(w.form.Text7.number(), seconds + 1);
    EXPECT_LE(w.form.Text7.number(), seconds + 2);
    // A speed chosen afterwards holds: the finished run does not rest again.
    speed->setCurrentIndex(speed->findText(QStringLiteral("50x")));
    const VirtualMs before = w.form.now();
    w.wall_ns += 33 * kMs;
    w.window->frame();
    EXPECT_EQ(w.form.now(), before + 50 * 33);
    EXPECT_EQ(w.window->pacer().speed(), 50);
    slider_ends_at_the_finish();
  }
}

}  // namespace
}  // namespace bruvik
