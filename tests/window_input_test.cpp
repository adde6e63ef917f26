// Input reaches the model: clicks on the buttons and options, keys in the boxes the user may
// type into, Enter in Text7, the data amount on Enter or focus-out only; run-time errors end
// the logic; no key or click breaks the window.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "controls/operator_controls.h"
#include "model/form.h"
#include "model/timer_table.h"
#include "tests/window_support.h"
#include "ui/control_widgets.h"
#include "ui/main_window.h"

namespace bruvik {
namespace {

struct InputWindow : TestWindow {
  InputWindow() : TestWindow(7, true) {}
  QLineEdit* box(const char* name) { return view().widget_as<QLineEdit>(name); }
  QString shown(const char* name) { return box(name)->text(); }
  void click(const char* name) { QTest::mouseClick(at(name), Qt::LeftButton); }
  // Replaces the box's text by typing, as a user does.
  void type(const char* name, const QString& text) {
    QWidget* w = at(name);
    w->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Backspace);
    QTest::keyClicks(w, text);
  }
};

TEST(WindowInput, EachButtonReachesTheModelAndItsResultIsShown) {
  const struct {
    const char* button;
    const char* box;  // where the result shows
    const char* value;
    const char* derived;  // the label that follows, and its caption
    const char* derived_value;
  } cases[] = {
      {"Command2", "Text11", "4", "Label31", "125"}, {"Command3", "Text11", "6", "Label31", "83"},
      {"Command4", "Text12", "4", "Label34", "60"},  {"Command5", "Text12", "6", "Label34", "40"},
      {"Command6", "Text13", "4", "Label31", "80"},  {"Command7", "Text13", "6", "Label31", "120"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    InputWindow w;
    w.click(c.button);
    EXPECT_EQ(w.form.find_named(c.box)->text(), c.value);
    EXPECT_EQ(w.shown(c.box), c.value);
    EXPECT_EQ(w.form.find_named(c.derived)->text(), c.derived_value);
    EXPECT_EQ(w.view().widget_as<QLabel>(c.derived)->text(), c.derived_value);
  }
}

TEST(WindowInput, TheStartButtonStartsThePureAlohaStationsAndTheSecondsClock) {
  InputWindow w;
  for (int i = 0; i < 10; ++i) ASSERT_FALSE(w.form.Timer(station_timer(0, i)).enabled());
  w.click("Command1");
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(w.form.Timer(station_timer(0, i)).enabled()) << i;
  EXPECT_TRUE(w.form.Timer(54).enabled());
}

TEST(WindowInput, RestartCallsThePlatformsRestart) {
  InputWindow w;
  w.click("Command8");
  EXPECT_EQ(w.restarts, 1);
}

TEST(WindowInput, AClickOnAnOptionSelectsItThroughTheModel) {
  InputWindow w;
  w.click("Option2");  // disabled until the table is ranked: nothing happens
  EXPECT_FALSE(w.form.Option2.value());
  w.form.Option1.set_enabled(true);
  w.form.Option2.set_enabled(true);
  w.window->refresh();
  const struct {
    const char* click;
    bool first, second;
  } clicks[] = {{"Option2", false, true}, {"Option2", false, true}, {"Option1", true, false}};
  auto* one = w.view().widget_as<OptionView>("Option1");
  auto* two = w.view().widget_as<OptionView>("Option2");
  for (const auto& c : clicks) {
    w.click(c.click);
    EXPECT_EQ(w.form.Option1.value(), c.first) << c.click;
    EXPECT_EQ(w.form.Option2.value(), c.second) << c.click;
    EXPECT_EQ(one->isChecked(), c.first);
    EXPECT_EQ(two->isChecked(), c.second);
  }
}

TEST(WindowInput, TypingIntoAnEnabledBoxWritesTheModel) {
  for (const char* name : {"Text7", "Text9", "Text14(0)", "Text14(1)", "Text14(2)"}) {
    SCOPED_TRACE(name);
    InputWindow w;
    w.type(name, "42");
    EXPECT_EQ(w.form.find_named(name)->text(), "42");
    QTest::keyClick(w.at(name), Qt::Key_Backspace);
    EXPECT_EQ(w.form.find_named(name)->text(), "4");
  }
}

TEST(WindowInput, BoxesTheStartUpLockedCannotBeTypedInto) {
  for (const char* name : {"Text1(0)", "Text11", "Text12", "Text13", "Text8(0)", "Text3(1)"}) {
    SCOPED_TRACE(name);
    InputWindow w;
    const std::string before = w.form.find_named(name)->text();
    EXPECT_FALSE(w.at(name)->isEnabled());
    QTest::keyClicks(w.at(name), "99");
    EXPECT_EQ(w.form.find_named(name)->text(), before);
    EXPECT_EQ(w.shown(name).toStdString(), before);
  }
}

TEST(WindowInput, EnterInTheSecondsBoxLocksIt) {
  InputWindow w;
  w.type("Text7", "7");
  QTest::keyClick(w.at("Text7"), Qt::Key_Return);
  EXPECT_FALSE(w.form.Text7.enabled());
  EXPECT_FALSE(w.at("Text7")->isEnabled());
  EXPECT_TRUE(w.form.Timer(1).enabled());
  w.wall_ns += 10'000'000;  // the collision display timer ticks once, 10 ms later
  w.window->frame();
  EXPECT_EQ(w.form.Text7.text(), "8");
  EXPECT_EQ(w.shown("Text7"), "8");
}

TEST(WindowInput, TheDataAmountTakesEffectOnEnterOrWhenTheBoxIsLeft) {
  InputWindow w;
  w.type("Text6", "50");
  EXPECT_EQ(w.form.Text6.text(), "100") << "not while typing";
  w.window->refresh();
  EXPECT_EQ(w.shown("Text6"), "50") << "what is typed stays in the box";
  QTest::keyClick(w.at("Text6"), Qt::Key_Return);
  EXPECT_EQ(w.form.Text6.text(), "50");

  w.type("Text6", "70");
  EXPECT_EQ(w.form.Text6.text(), "50");
  w.at("Text7")->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(w.form.Text6.text(), "70") << "leaving the box commits";
  EXPECT_TRUE(w.window->strip().message_label()->text().isEmpty());

  w.type("Text6", "15");
  QTest::keyClick(w.at("Text6"), Qt::Key_Escape);
  EXPECT_EQ(w.shown("Text6"), "70") << "Escape takes the edit back";
  EXPECT_EQ(w.form.Text6.text(), "70");
}

TEST(WindowInput, ARefusedDataAmountShowsTheLastAcceptedValueAndWhy) {
  for (const char* typed : {"abc", "", "-", "."}) {
    SCOPED_TRACE(typed);
    InputWindow w;
    w.type("Text6", "60");
    QTest::keyClick(w.at("Text6"), Qt::Key_Return);
    w.type("Text6", typed);
    QTest::keyClick(w.at("Text6"), Qt::Key_Return);
    EXPECT_EQ(w.form.Text6.text(), "60");
    EXPECT_EQ(w.shown("Text6"), "60");
    EXPECT_TRUE(w.window->strip().message_label()->text().contains("must begin with a number"));
  }
}

TEST(WindowInput, RetypingTheDataAmountDoesNotEndTheRunningMethod) {
  // "150" typed one key at a time used to pass through "1", which the completion test met at
  // once.
  InputWindow w;
  w.click("Command1");
  w.wall_ns += 20'000'000'000LL;
  for (int i = 0; i < 20; ++i) w.window->frame();
  ASSERT_NE(w.form.Text1[0].text(), "Okey");
  w.type("Text6", "1");
  for (int i = 0; i < 3; ++i) {
    w.wall_ns += 33'000'000;
    w.window->frame();
  }
  EXPECT_NE(w.form.Text1[0].text(), "Okey");
  QTest::keyClicks(w.at("Text6"), "50");
  QTest::keyClick(w.at("Text6"), Qt::Key_Return);
  EXPECT_EQ(w.form.Text6.text(), "150");
  w.wall_ns += 33'000'000;
  w.window->frame();
  EXPECT_NE(w.form.Text1[0].text(), "Okey");
  // A data amount of 1 that is meant ends the method at the next completion test.
  w.type("Text6", "1");
  QTest::keyClick(w.at("Text6"), Qt::Key_Return);
  w.wall_ns += 33'000'000;
  w.window->frame();
  EXPECT_EQ(w.form.Text1[0].text(), "Okey");
}

TEST(WindowInput, ARunTimeErrorIsToldOnceAndEndsTheLogic) {
  // A random limit far beyond what the buttons make: the next back-off does not fit the
  // interval of a timer.
  InputWindow w;
  w.click("Command1");
  w.form.Label34.set_text("1e12");
  w.window->frame_timer().start();
  w.wall_ns += 200'000'000;
  for (int i = 0; i < 40 && w.errors.empty(); ++i) {
    w.wall_ns += 200'000'000;
    w.window->frame();
  }
  ASSERT_EQ(w.errors.size(), 1u);
  EXPECT_EQ(w.errors[0], "Run-time error '6': Overflow");
  EXPECT_TRUE(w.window->failed());
  EXPECT_FALSE(w.window->frame_timer().isActive());
  const VirtualMs stopped = w.form.now();
  w.click("Command3");
  w.type("Text9", "x");
  w.wall_ns += 1'000'000'000;
  w.window->frame();
  EXPECT_EQ(w.form.Text11.text(), "5") << "no core code runs after the error";
  EXPECT_NE(w.form.Text9.text(), "x");
  EXPECT_EQ(w.form.now(), stopped);
  EXPECT_EQ(w.errors.size(), 1u);
}

TEST(WindowInput, NoKeyOrClickBreaksTheWindow) {
  // An impatient student: random keys into every box and clicks on every button while the
  // clock runs. Whatever is typed, the window keeps working.
  std::mt19937 random(12345);
  const char* targets[] = {"Text6",    "Text7",    "Text9",    "Text14(0)", "Text14(1)",
                           "Command1", "Command2", "Command3", "Command4",  "Command5",
                           "Command6", "Command7", "Command8", "Option1",   "Option2"};
  const int keys[] = {Qt::Key_1,      Qt::Key_A,      Qt::Key_Minus,     Qt::Key_Period,
                      Qt::Key_Return, Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_Delete,
                      Qt::Key_Space,  Qt::Key_E,      Qt::Key_Tab,       Qt::Key_Home};
  for (int round = 0; round < 4; ++round) {
    InputWindow w;
    for (int n = 0; n < 400; ++n) {
      QWidget* target = w.at(targets[random() % std::size(targets)]);
      if (dynamic_cast<QLineEdit*>(target) != nullptr) {
        if (target->isEnabled()) target->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(target, static_cast<Qt::Key>(keys[random() % std::size(keys)]));
      } else {
        QTest::mouseClick(target, Qt::LeftButton);
      }
      w.wall_ns += static_cast<std::int64_t>(random() % 400) * 1'000'000;
      w.window->frame();
    }
    for (const QString& e : w.errors) ADD_FAILURE() << e.toStdString();
    EXPECT_FALSE(w.window->failed());
    EXPECT_GT(w.form.now(), 0);
  }
}

}  // namespace
}  // namespace bruvik
