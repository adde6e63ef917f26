// The keyboard: Tab walks the controls in reading order, every control has a name for
// assistive technology, and the strip's actions have keys.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/operator_controls.h"
#include "model/form.h"
#include "sim/wiring.h"
#include "tests/window_support.h"
#include "ui/main_window.h"

namespace bruvik {
namespace {

struct KeyboardWindow : TestWindow {
  KeyboardWindow() : TestWindow(7, true) {}
  // The name of the focused widget: its window name, or the strip's name for it.
  QString focused() {
    QWidget* f = QApplication::focusWidget();
    if (f == nullptr) return "(none)";
    if (f == window->strip().speed_box()) return "speed";
    if (f == window->strip().pause_button()) return "pause";
    if (f == window->strip().step_button()) return "step";
    if (f == window->strip().time_slider()) return "slider";
    if (f == window->strip().back_button()) return "back";
    if (f == window->strip().save_button()) return "save";
    if (f == window->strip().open_button()) return "open";
    return f->objectName();
  }
};

QStringList walk(KeyboardWindow& w, const char* from, int steps) {
  w.at(from)->setFocus(Qt::TabFocusReason);
  QStringList seen{w.focused()};
  for (int i = 0; i < steps; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    seen << w.focused();
  }
  return seen;
}

TEST(WindowKeyboard, TabFollowsTheReadingOrder) {
  KeyboardWindow w;
  const QStringList expected = {"Text6",    "Text7",     "Command2",  "Command3",  "Command4",
                                "Command5", "Command6",  "Command7",  "Command1",  "Command8",
                                "Text9",    "Text14(0)", "Text14(1)", "Text14(2)", "speed",
                                "pause",    "step",      "slider",    "back",      "save",
                                "open",     "timeline",  "Text6"};
  EXPECT_EQ(walk(w, "Text6", int(expected.size()) - 1), expected);
}

TEST(WindowKeyboard, TheOrderOptionsJoinTheOrderOnceEnabled) {
  KeyboardWindow w;
  w.form.Option1.set_enabled(true);
  w.form.Option2.set_enabled(true);
  w.window->refresh();
  const QStringList seen = walk(w, "Command8", 3);
  EXPECT_EQ(seen, (QStringList{"Command8", "Option1", "Option2", "Text9"}));
}

TEST(WindowKeyboard, EveryControlHasANameFromItsCaptionOrItsLabel) {
  KeyboardWindow w;
  const struct {
    const char* name;
    const char* accessible;
  } names[] = {
      {"Text6", "Data Amount"},
      {"Text7", "Seconds passed"},
      {"Text9", "Name of current method"},
      {"Text11", "Network MTU"},
      {"Text12", "Data sending rate"},
      {"Text13", "Avg. Frame length"},
      {"Command2", "Lower Network MTU"},
      {"Command5", "Raise Data sending rate"},
      {"Command7", "Raise Avg. Frame length"},
      {"Command1", "EnableThe Computers"},
      {"Command8", "RESTART"},
      {"Option1", "In decending order"},
      {"Text1(0)", "PURE ALOHA DATA SENT"},
      {"Text2(1)", "SLOTTED ALOHA COLLISIONS"},
      {"Text14(1)", "NON PERSISTANT Collision"},
      {"Text8(2)", "Data Sent/ Seconds of place 3"},
      {"Label18", "Data Amount"},
      {"Image2", "Collision"},
      {"Shape1(4)", "Frame of station 4 in transit"},
  };
  for (const auto& n : names) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w.at(n.name));
    ASSERT_NE(a, nullptr) << n.name;
    EXPECT_EQ(a->text(QAccessible::Name), n.accessible) << n.name;
  }
  for (const Control& c : w.form.controls()) {
    const std::string name = window_name(c.built());
    if (c.kind() == Kind::Label && c.text().empty()) continue;  // a label says its caption
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w.at(name.c_str()));
    EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty()) << name;
  }
  for (QWidget* strip_control : {static_cast<QWidget*>(w.window->strip().speed_box()),
                                 static_cast<QWidget*>(w.window->strip().pause_button()),
                                 static_cast<QWidget*>(w.window->strip().step_button()),
                                 static_cast<QWidget*>(w.window->strip().time_slider()),
                                 static_cast<QWidget*>(w.window->strip().back_button()),
                                 static_cast<QWidget*>(w.window->strip().save_button()),
                                 static_cast<QWidget*>(w.window->strip().open_button())}) {
    EXPECT_FALSE(
        QAccessible::queryAccessibleInterface(strip_control)->text(QAccessible::Name).isEmpty());
  }
}

TEST(WindowKeyboard, TheStripIsUsableFromTheKeyboard) {
  KeyboardWindow w;
  QWidget* start = w.at("Command1");
  static_cast<QAbstractButton*>(start)->click();  // recorded, so that Back can replay it
  start->setFocus();
  // A button's mnemonic clicks it as an animated click, a moment later.
  const auto paused_is = [&](bool on) {
    return QTest::qWaitFor([&] { return w.window->pacer().paused() == on; }, 2000);
  };
  QTest::keyClick(start, Qt::Key_P, Qt::AltModifier);
  EXPECT_TRUE(paused_is(true)) << "Alt+P pauses";
  QTest::keyClick(start, Qt::Key_R, Qt::AltModifier);
  EXPECT_TRUE(paused_is(false)) << "Alt+R resumes";
  QTest::keyClick(start, Qt::Key_Pause);
  EXPECT_TRUE(w.window->pacer().paused()) << "the Pause key pauses";
  QTest::keyClick(start, Qt::Key_Pause);
  EXPECT_FALSE(w.window->pacer().paused()) << "and resumes";

  const std::string sent = w.form.Text1[0].text();
  QTest::keyClick(start, Qt::Key_S, Qt::AltModifier);
  EXPECT_TRUE(paused_is(true)) << "Alt+S steps and pauses";
  EXPECT_NE(w.form.Text1[0].text(), sent);
  EXPECT_TRUE(w.window->strip().message_label()->text().startsWith("Station "));

  // Going back: Alt+B, and the slider by 1 s and 10 s steps.
  for (int i = 0; i < 3; ++i) QTest::keyClick(start, Qt::Key_S, Qt::AltModifier);
  QTest::qWait(200);
  w.history->advance_to(30'000);
  w.window->refresh();
  const VirtualMs stepped = w.form.now();
  QTest::keyClick(start, Qt::Key_B, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.form.now() < stepped; }, 2000)) << "Alt+B";
  EXPECT_TRUE(w.window->strip().message_label()->text().startsWith("Back at the attempt at"));
  QSlider* slider = w.window->strip().time_slider();
  EXPECT_EQ(slider->maximum(), 30'000);
  const struct {
    Qt::Key key;
    VirtualMs to;
  } slides[] = {{Qt::Key_End, 30'000},    {Qt::Key_Left, 29'000}, {Qt::Key_PageDown, 19'000},
                {Qt::Key_PageUp, 29'000}, {Qt::Key_Home, 0},      {Qt::Key_Right, 1'000}};
  slider->setFocus();
  for (const auto& k : slides) {
    w.window->pacer().set_paused(false);  // a key on the slider pauses as a drag does
    QTest::keyClick(slider, k.key);
    EXPECT_EQ(w.form.now(), k.to) << k.key;
    EXPECT_TRUE(w.window->pacer().paused());
  }
  // Ctrl+S and Ctrl+O go through the file choice.
  const QString file = QDir(QString::fromUtf8(qgetenv("XDG_RUNTIME_DIR"))).filePath("keys");
  w.chooses = {file};
  QTest::keyClick(start, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(QFileInfo::exists(file + ".bruvik")) << "saved with the extension added";
  w.chooses = {file + ".bruvik"};
  QTest::keyClick(start, Qt::Key_O, Qt::ControlModifier);
  EXPECT_TRUE(w.window->strip().message_label()->text().startsWith("Opened keys.bruvik at 00:01.0"))
      << w.window->strip().message_label()->text().toStdString();
  QFile::remove(file + ".bruvik");

  QComboBox* speed = w.window->strip().speed_box();
  speed->setFocus();
  QTest::keyClick(speed, Qt::Key_Down);
  EXPECT_EQ(speed->currentText(), "2x");
  EXPECT_EQ(w.window->pacer().speed(), 2.0);
  QTest::keyClick(speed, Qt::Key_End);
  EXPECT_EQ(w.window->pacer().speed(), 0.0) << "as fast as possible";
}

TEST(WindowKeyboard, EnterClicksTheFocusedButtonOnceAsSpaceDoes) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    bool clicks;
  } keys[] = {{Qt::Key_Return, Qt::NoModifier, true},
              {Qt::Key_Enter, Qt::KeypadModifier, true},
              {Qt::Key_Space, Qt::NoModifier, true},
              {Qt::Key_Return, Qt::ControlModifier, false},
              {Qt::Key_A, Qt::NoModifier, false}};
  for (const auto& k : keys) {
    KeyboardWindow w;
    QWidget* raise_mtu = w.at("Command3");
    raise_mtu->setFocus();
    QTest::keyClick(raise_mtu, k.key, k.mods);
    EXPECT_EQ(w.form.Text11.text(), k.clicks ? "6" : "5") << k.key << " on the MTU's \">\"";

    w.window->strip().pause_button()->setFocus();
    QTest::keyClick(w.window->strip().pause_button(), k.key, k.mods);
    EXPECT_EQ(w.window->pacer().paused(), k.clicks) << k.key << " on Pause";
  }

  // A disabled button takes no click from Enter.
  KeyboardWindow w;
  QWidget* raise_mtu = w.at("Command3");
  raise_mtu->setFocus();
  raise_mtu->setEnabled(false);
  QTest::keyClick(raise_mtu, Qt::Key_Return);
  EXPECT_EQ(w.form.Text11.text(), "5");
}

TEST(WindowKeyboard, TheStripShowsTimeSeedAndTheChosenSpeed) {
  const struct {
    VirtualMs ms;
    const char* text;
  } times[] = {{0, "00:00.0"},      {99, "00:00.0"},        {207'400, "03:27.4"},
               {59'999, "00:59.9"}, {3'600'000, "60:00.0"}, {6'000'000, "100:00.0"}};
  for (const auto& t : times) EXPECT_EQ(format_run_time(t.ms), t.text) << t.ms;

  for (const SpeedChoice& c : speed_choices()) {
    Form1 form(42, tick_handlers());
    prepare_form(form, 5, 5, 5, "100");
    MainWindow window(form, nullptr, c.speed, [] { return std::int64_t{0}; });
    EXPECT_EQ(window.strip().speed_box()->currentText(), c.text);
    EXPECT_EQ(window.pacer().speed(), c.speed);
    EXPECT_EQ(window.strip().seed_label()->text(), "Seed 42");
  }
}

}  // namespace
}  // namespace bruvik
