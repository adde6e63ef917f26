// Keeping in step: once a frame the widgets take what changed in the model and nothing else;
// a flash shorter than a frame is still shown for one frame; the bus lines show their look.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/operator_controls.h"
#include "model/form.h"
#include "sim/stations/stations.h"
#include "tests/window_support.h"
#include "ui/control_widgets.h"
#include "ui/main_window.h"

namespace bruvik {
namespace {

using SyncWindow = TestWindow;

TEST(WindowSync, OnlyTheWidgetOfWhatChangedIsTouched) {
  const struct {
    const char* what;
    std::function<void(Form1&)> change;
    std::function<bool(SyncWindow&)> shows_it;
  } cases[] = {
      {"text of a box", [](Form1& f) { f.Text9.set_text("slotted"); },
       [](SyncWindow& w) { return w.view().widget_as<QLineEdit>("Text9")->text() == "slotted"; }},
      {"caption of a label", [](Form1& f) { f.Label34.set_text("70"); },
       [](SyncWindow& w) { return w.view().widget_as<QLabel>("Label34")->text() == "70"; }},
      {"a box locked", [](Form1& f) { f.Text7.set_enabled(false); },
       [](SyncWindow& w) { return !w.at("Text7")->isEnabled(); }},
      {"a hidden control shown", [](Form1& f) { f.Label20.set_visible(true); },
       [](SyncWindow& w) { return !w.at("Label20")->isHidden(); }},
      {"an option selected", [](Form1& f) { f.Option2.set_value(true); },
       [](SyncWindow& w) { return w.view().widget_as<OptionView>("Option2")->isChecked(); }},
      {"an option enabled", [](Form1& f) { f.Option1.set_enabled(true); },
       [](SyncWindow& w) { return w.at("Option1")->isEnabled(); }},
      {"a line's look",
       [](Form1& f) {
         f.Line4.set_border_color(0x00FF0000);
         f.Line4.set_border_width(2);
       },
       [](SyncWindow& w) {
         auto* line = w.view().widget_as<LineView>("Line4");
         return line->colour() == QColor(0, 0, 255) && line->line_width() == 2;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SyncWindow w;
    EXPECT_EQ(w.view().sync(), 0) << "nothing changed since the window was built";
    EXPECT_FALSE(c.shows_it(w));
    c.change(w.form);
    EXPECT_EQ(w.view().sync(), 1);
    EXPECT_TRUE(c.shows_it(w));
    EXPECT_EQ(w.view().sync(), 0);
  }
}

TEST(WindowSync, AFlashBetweenTwoFramesIsShownForOneFrame) {
  const struct {
    const char* name;
    Control& (*control)(Form1&);
  } flashes[] = {
      {"Image2", [](Form1& f) -> Control& { return f.Image2; }},
      {"Shape1(3)", [](Form1& f) -> Control& { return f.Shape1[3]; }},
      {"Image3(5)", [](Form1& f) -> Control& { return f.Image3[5]; }},
  };
  for (const auto& f : flashes) {
    SCOPED_TRACE(f.name);
    SyncWindow w;
    Control& c = f.control(w.form);
    ASSERT_TRUE(w.at(f.name)->isHidden());
    c.set_visible(true);
    c.set_visible(false);
    w.window->refresh();
    EXPECT_FALSE(w.at(f.name)->isHidden()) << "the flash is shown";
    w.window->refresh();
    EXPECT_TRUE(w.at(f.name)->isHidden()) << "for one frame only";
    c.set_visible(true);
    w.window->refresh();
    w.window->refresh();
    EXPECT_FALSE(w.at(f.name)->isHidden()) << "a control that stays visible stays shown";
  }
}

TEST(WindowSync, CollisionPicturesOfARunReachTheScreen) {
  // Frames of 33 ms over a minute of pure ALOHA: the 10 ms collision picture is mostly over
  // before the next frame, yet each collision must be seen.
  SyncWindow w;
  Command1_Click(w.form);
  QWidget* picture = w.at("Image2");
  int frames_showing = 0;
  int shown_after_it_ended = 0;
  for (int frame = 0; frame < 60000 / kFrameIntervalMs; ++frame) {
    w.wall_ns += kFrameIntervalMs * 1'000'000LL;
    w.window->frame();
    if (!picture->isHidden()) {
      ++frames_showing;
      if (!w.form.Image2.visible()) ++shown_after_it_ended;
    }
  }
  ASSERT_FALSE(w.window->failed());
  const int collisions = static_cast<int>(w.form.Text1[1].number());
  EXPECT_GT(collisions, 5);
  EXPECT_GT(shown_after_it_ended, 0);
  // Two collisions inside one frame share it; none is lost otherwise.
  EXPECT_LE(frames_showing, collisions);
  EXPECT_GE(frames_showing, collisions * 3 / 4);
}

TEST(WindowSync, TheBusLinesShowTheModelsLook) {
  const struct {
    const char* what;
    void (*act)(Form1&);
    QColor colour;
    int width;
  } looks[] = {
      {"as built: the default line colour", [](Form1&) {}, QColor(), 1},
      {"busy", [](Form1& f) { fill(f); }, QColor(0, 0, 255), 2},
      {"idle again",
       [](Form1& f) {
         fill(f);
         clear_line(f);
       },
       QColor(0, 0, 0), 1},
  };
  for (const auto& l : looks) {
    SCOPED_TRACE(l.what);
    SyncWindow w;
    l.act(w.form);
    w.window->refresh();
    const QColor want = l.colour.isValid() ? l.colour : w.view().palette().color(QPalette::Text);
    for (const char* name : {"Line1", "Line3", "Line4"}) {
      auto* line = w.view().widget_as<LineView>(name);
      EXPECT_EQ(line->colour(), want) << name;
      EXPECT_EQ(line->line_width(), l.width) << name;
    }
    // The drop lines and separators keep their own look.
    EXPECT_EQ(w.view().widget_as<LineView>("Line2(0)")->line_width(), 1);
  }
}

TEST(WindowSync, AnUnfinishedDataAmountEditIsNotOverwritten) {
  SyncWindow w;
  auto* box = w.view().widget_as<TextBoxView>("Text6");
  ASSERT_TRUE(box->keeps_pending_edit);
  box->setText("5");
  box->setModified(true);  // as typing leaves it
  w.form.Text6.set_text("300");
  w.window->refresh();
  EXPECT_EQ(box->text(), "5");
  box->setModified(false);
  w.window->refresh();
  EXPECT_EQ(box->text(), "300") << "once the edit is over the box shows the model again";
  // The other boxes show the model at once.
  auto* seconds = w.view().widget_as<TextBoxView>("Text7");
  seconds->setText("12");
  seconds->setModified(true);
  w.form.Text7.set_text("13");
  w.window->refresh();
  EXPECT_EQ(seconds->text(), "13");
}

}  // namespace
}  // namespace bruvik
