// The timeline: the pane shown, hidden, floating and remembered; it follows the clock, zooms and
// pans only while paused; the layout's frames, overlaps and counted collisions on hand-built
// records, as drawn and as the tooltip tells them; the method and figures after a switch.
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "controls/operator_controls.h"
#include "model/timer_table.h"
#include "tests/window_support.h"
#include "timeline/frame_hit.h"
#include "timeline/geometry.h"
#include "timeline/layout.h"
#include "timeline/method_spans.h"
#include "ui/main_window.h"
#include "ui/timeline_pane.h"
#include "ui/timeline_qpainter.h"
#include "ui/window_zoom.h"

namespace bruvik {
namespace {

struct TimelineWindow : TestWindow {
  TimelineWindow() : TestWindow(7, true) {}
  TimelinePane& pane() const { return *window->timeline(); }
  QPushButton* button() const { return window->strip().timeline_button(); }
  int height() const {
    window->layout()->activate();
    return window->height();
  }
};

void forget_choices() {
  QSettings(QStringLiteral("bruvik"), QStringLiteral("bruvik")).clear();
}

TEST(TimelinePane, ShownHiddenByTheButtonAndAltTAndFloating) {
  forget_choices();
  TimelineWindow w;
  ASSERT_NE(w.window->timeline(), nullptr);
  EXPECT_TRUE(w.pane().isHidden()) << "not shown unless asked for, or remembered";
  EXPECT_EQ(w.button()->text(), "&Timeline");
  const int without = w.height();

  QTest::mouseClick(w.button(), Qt::LeftButton);
  EXPECT_TRUE(w.pane().isVisible());
  EXPECT_TRUE(w.button()->isChecked());
  EXPECT_FALSE(w.pane().isFloating());
  EXPECT_GT(w.height(), without + 150) << "docked under the strip, the window grows";
  EXPECT_EQ(w.window->width(), 1016);
  EXPECT_GE(w.pane().y(),
            w.window->strip().mapTo(w.window.get(), QPoint(0, 0)).y() + w.window->strip().height());

  QTest::keyClick(w.window.get(), Qt::Key_T, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.pane().isHidden(); }, 2000)) << "Alt+T hides it";
  EXPECT_FALSE(w.button()->isChecked());
  EXPECT_EQ(w.height(), without);
  QTest::keyClick(w.window.get(), Qt::Key_T, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.pane().isVisible(); }, 2000)) << "and shows it";

  w.pane().setFloating(true);
  EXPECT_TRUE(w.pane().isWindow()) << "a window of its own";
  EXPECT_TRUE(w.pane().isVisible());
  EXPECT_EQ(w.height(), without) << "the window gives its room back";
  w.pane().close();  // its own close button
  EXPECT_FALSE(w.button()->isChecked());
}

TEST(TimelinePane, WithoutRoomDockedItFloatsOnTheScreen) {
  const struct {
    QRect screen, window;
    bool beside;
    int shifted;  // the window moved to the left edge for it
  } cases[] = {
      {{0, 0, 1920, 1170}, {0, 0, 1018, 780}, true, 0},
      {{0, 0, 1920, 1170}, {300, 0, 1018, 780}, true, 0},
      {{0, 0, 1920, 1170}, {450, 0, 1018, 780}, true, -450},
      {{0, 0, 1366, 740}, {174, 0, 1018, 700}, false, 0},
      {{0, 0, 1366, 740}, {199, 0, 968, 700}, true, -199},
      {{0, 0, 1024, 740}, {3, 0, 1018, 760}, false, 0},
  };
  for (const auto& c : cases) {
    forget_choices();
    TimelineWindow w;
    w.pane().docked_fits = [] { return false; };
    w.pane().screen_area = [&] { return c.screen; };
    QRect window = c.window;
    w.pane().window_frame = [&] { return window; };
    int shifted = 0;
    w.pane().shift_window = [&](int dx) {
      shifted += dx;
      window.translate(dx, 0);
      return 0;
    };
    QTest::mouseClick(w.button(), Qt::LeftButton);
    EXPECT_EQ(shifted, c.shifted) << c.window.x() << " " << w.pane().minimumSizeHint().width();
    EXPECT_TRUE(w.pane().isFloating()) << c.screen.width();
    const QRect g = w.pane().geometry();
    EXPECT_TRUE(c.screen.contains(g)) << c.screen.width();
    EXPECT_GE(g.height(), 200) << c.screen.width();
    EXPECT_EQ(g.left() > window.right(), c.beside) << c.screen.width();
  }
}

TEST(TimelinePane, OnAShortScreenTheStripIsOneRowNoWiderThanTheWindow) {
  TimelineWindow w;
  ControlStrip& strip = w.window->strip();
  const int two_rows = strip.sizeHint().height();
  strip.set_one_row(true);
  strip.show_message(QStringLiteral("The run as it was at 00:45.1; Resume runs on from here."));
  w.window->show();
  strip.layout()->activate();
  w.window->centralWidget()->layout()->activate();
  w.window->layout()->activate();
  EXPECT_LE(w.window->width(), w.window->view().width()) << "the client area sets the width";
  EXPECT_LE(strip.height(), two_rows * 2 / 3);
  const int row = strip.open_button()->geometry().center().y();
  for (QWidget* x : std::initializer_list<QWidget*>{strip.timeline_button(), strip.message_label(),
                                                    strip.time_slider(), strip.pause_button()}) {
    EXPECT_EQ(x->geometry().center().y(), row);
    EXPECT_LE(x->geometry().right(), strip.width());
  }
  EXPECT_EQ(strip.message_label()->toolTip(), strip.message_label()->text()) << "told whole";
}

TEST(TimelinePane, WhereEvenTheClientAreaDoesNotFitAllOfItIsDrawnSmallerAndClicksLandAsDrawn) {
  const struct {
    QRect screen;
    double factor;
  } screens[] = {
      {{0, 0, 1920, 1050}, 1.0},
      {{0, 0, 1366, 736}, 696.0 / 733},  // a panel under a 1366 x 768 screen
      {{0, 0, 1024, 736}, 696.0 / 733},
      {{0, 0, 1020, 1050}, 1004.0 / 1016},
      {{0, 0, 640, 400}, 0.5},
  };
  for (const auto& s : screens) {
    EXPECT_DOUBLE_EQ(zoom_to_fit({1016, 733}, s.screen), s.factor) << s.screen.width();
  }
  // With the pane docked under it (250 pixels): 1600 x 1000 with a panel.
  EXPECT_DOUBLE_EQ(zoom_to_fit({1016, 733}, {0, 0, 1600, 968}, 250), 678.0 / 733);

  TimelineWindow w;
  const QSize full = w.window->centralWidget()->sizeHint();
  w.window->zoom(0.75);
  w.window->show();
  w.window->layout()->activate();
  EXPECT_NEAR(w.window->centralWidget()->width(), full.width() * 0.75, 1.0);
  EXPECT_NEAR(w.window->centralWidget()->height(), full.height() * 0.75, 1.0);
  // "EnableThe Computers" where it is drawn, three quarters of the way to its place.
  QWidget* start = w.window->view().widget("Command1");
  const QPoint centre = start->mapTo(start->window(), start->rect().center());
  const QPoint at = w.window->zoomed()->to_view(centre);
  EXPECT_NEAR(at.x(), centre.x() * 0.75, 1.0);
  QTest::mouseClick(w.window->zoomed()->viewport(), Qt::LeftButton, {}, at);
  ASSERT_EQ(w.history->actions().size(), 1u);
  EXPECT_EQ(w.history->actions()[0].control, "Command1");
  // The strip's Alt keys still reach their buttons (a button's own key clicks it a moment later).
  w.activate();
  QWindow* keyboard = w.window->windowHandle();
  QTest::keyClick(keyboard, Qt::Key_T, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.pane().isVisible(); }, 1000)) << "Alt+T";
  QTest::keyClick(keyboard, Qt::Key_P, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.window->pacer().paused(); }, 1000)) << "Alt+P";
  QTest::keyClick(keyboard, Qt::Key_R, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !w.window->pacer().paused(); }, 1000)) << "Alt+R";
  // Back to the size it was designed at, the client area takes clicks where it always did.
  w.window->zoom(1.0);
  w.window->layout()->activate();
  EXPECT_EQ(w.window->zoomed(), nullptr);
  EXPECT_EQ(w.window->centralWidget()->size(), full);
  QTest::mouseClick(w.window->view().widget("Command5"), Qt::LeftButton);
  EXPECT_EQ(w.history->actions().back().control, "Command5");
}

TEST(TimelinePane, TheChoicesAreRememberedFromOneStartToTheNext) {
  forget_choices();
  const QRect where(120, 90, 700, 280);
  {
    TimelineWindow w;
    w.window->remember_timeline_choices();
    // The offscreen screen (800 x 600) has no room for the window with the pane docked.
    EXPECT_TRUE(w.pane().isHidden());
    QTest::mouseClick(w.button(), Qt::LeftButton);
    w.pane().setFloating(true);
    w.pane().setGeometry(where);
  }
  {
    TimelineWindow w;
    w.window->remember_timeline_choices();
    EXPECT_TRUE(w.pane().isVisible());
    EXPECT_TRUE(w.pane().isFloating());
    EXPECT_TRUE(w.button()->isChecked());
    EXPECT_EQ(w.pane().geometry(), where);
    w.pane().setFloating(false);  // docked, it does not fit this screen: not shown next time
  }
  {
    TimelineWindow w;
    w.window->remember_timeline_choices();
    EXPECT_TRUE(w.pane().isHidden());
    EXPECT_FALSE(w.button()->isChecked());
  }
  // Without the remembering, nothing is read or written.
  forget_choices();
  {
    TimelineWindow w;
    QTest::mouseClick(w.button(), Qt::LeftButton);
  }
  EXPECT_TRUE(QSettings(QStringLiteral("bruvik"), QStringLiteral("bruvik")).allKeys().isEmpty());

  const struct {
    QSize window;
    QRect screen;
    bool fits;
  } screens[] = {
      {{1016, 985}, {0, 0, 1600, 1200}, true},
      {{1016, 985}, {0, 0, 1920, 1050}, true},
      {{1016, 985}, {0, 0, 1366, 740}, false},
      {{1016, 985}, {0, 0, 1024, 1200}, false},
  };
  for (const auto& s : screens)
    EXPECT_EQ(window_fits(s.window, s.screen), s.fits) << s.screen.height();
}

TEST(TimelinePane, ClosingTheWindowKeepsThePaneAsItWas) {
  for (const bool floating : {false, true}) {
    forget_choices();
    {
      TimelineWindow w;
      w.window->show();
      w.window->remember_timeline_choices();
      QTest::mouseClick(w.button(), Qt::LeftButton);
      w.pane().setFloating(floating);
      ASSERT_TRUE(w.pane().isVisible());
      w.window->close();
      QCoreApplication::processEvents();
    }
    EXPECT_TRUE(QSettings(QStringLiteral("bruvik"), QStringLiteral("bruvik"))
                    .value(QStringLiteral("timeline/shown"))
                    .toBool())
        << "floating " << floating;
  }
}

TEST(TimelinePane, AnOpenedLessonStaysOnScreenWithTheTimelineItSpeaksOf) {
  const struct {
    const char* title;
    const char* note;
    bool lesson, pane;
  } cases[] = {
      {"Vulnerable", "In the timeline, look at the orange frames.", true, true},
      {"Slotted", "Resume and compare the counters.", true, false},
      {"Busy", "Timeline: the grey line is the bus.", true, true},
      {"", "", false, false},
  };
  for (const auto& c : cases) {
    forget_choices();
    TimelineWindow w;
    Experiment e;
    e.title = c.title;
    e.note = c.note;
    e.start = w.history->start();
    e.actions = {{0, 0, ActionKind::Click, "Command1", "", 0}};
    e.saved_at = Target{5000, std::nullopt, 1};
    w.window->load_experiment(e, QStringLiteral("x.bruvik"));
    SCOPED_TRACE(c.note);
    EXPECT_EQ(!w.window->strip().lesson_button()->isHidden(), c.lesson);
    EXPECT_EQ(w.window->lesson() != nullptr && w.window->lesson()->isVisible(), c.lesson);
    if (c.lesson) {
      EXPECT_TRUE(w.window->lesson_text()->text().contains(QString::fromUtf8(c.note)));
      EXPECT_TRUE(w.window->lesson_text()->text().contains(QString::fromUtf8(c.title)));
      QTest::mouseClick(w.window->strip().lesson_button(), Qt::LeftButton);
      EXPECT_FALSE(w.window->lesson()->isVisible()) << "hidden and shown again at will";
      QTest::mouseClick(w.window->strip().lesson_button(), Qt::LeftButton);
      EXPECT_TRUE(w.window->lesson()->isVisible());
      // Closed by its title bar, one press of the button brings it back.
      w.window->lesson()->close();
      EXPECT_FALSE(w.window->strip().lesson_button()->isChecked());
      QTest::mouseClick(w.window->strip().lesson_button(), Qt::LeftButton);
      EXPECT_TRUE(w.window->lesson()->isVisible());
    }
    EXPECT_EQ(w.pane().isVisible(), c.pane);
  }
}

TEST(TimelinePane, AFinishedRunShowsItsEnd) {
  forget_choices();
  TimelineWindow w;
  w.window->set_timeline_shown(true);
  w.window->view().widget_as<QAbstractButton>("Command1")->click();
  w.form.advance_to(300000);  // seed 7 finishes at 252.302 s; the seconds go on counting
  w.window->refresh();
  const TimelineSpan s = w.pane().canvas().span();
  EXPECT_GE(s.to, 252302);
  EXPECT_LT(s.to, 252302 + 1000) << "the end of the run, not the idle seconds after it";
  EXPECT_EQ(s.cursor, 300000);
}

TEST(TimelinePane, FollowsTheClockZoomsAndPansOnlyWhilePaused) {
  forget_choices();
  TimelineWindow w;
  w.window->set_timeline_shown(true);
  TimelineCanvas& canvas = w.pane().canvas();
  w.window->view().widget_as<QAbstractButton>("Command1")->click();
  w.form.advance_to(20000);
  for (int frame = 0; frame < 8; ++frame) w.window->refresh();  // the figures' turn comes
  TimelineSpan s = canvas.span();
  EXPECT_EQ(s.to - s.from, 3000);
  EXPECT_GE(s.to, 20000);
  EXPECT_LT(s.to, 20010) << "the present at the right edge";
  EXPECT_EQ(s.cursor, 20000);
  EXPECT_TRUE(w.pane().header()->text().startsWith("Pure Aloha: offered load G "))
      << w.pane().header()->text().toStdString();
  EXPECT_TRUE(w.pane().header()->text().contains(", on the bus "));

  // Zooming in keeps following; a drag does nothing while the run goes on.
  canvas.zoom(2, canvas.width() / 2.0);
  EXPECT_EQ(canvas.span_ms(), 1920);
  EXPECT_TRUE(canvas.following());
  QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(500, 100));
  QTest::mouseMove(&canvas, QPoint(800, 100));
  QTest::mouseRelease(&canvas, Qt::LeftButton, {}, QPoint(800, 100));
  EXPECT_TRUE(canvas.following());

  // Paused, a drag to the right goes back in time and stops following.
  w.window->toggle_pause();
  QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(500, 100));
  QTest::mouseMove(&canvas, QPoint(800, 100));
  QTest::mouseRelease(&canvas, Qt::LeftButton, {}, QPoint(800, 100));
  EXPECT_FALSE(canvas.following());
  EXPECT_FALSE(w.pane().follow_button()->isChecked());
  s = canvas.span();
  EXPECT_LT(s.to, 19500);
  EXPECT_EQ(s.to - s.from, 1920);
  // It stays there while the run goes on, until Follow.
  w.window->toggle_pause();
  w.form.advance_to(25000);
  w.window->refresh();
  EXPECT_EQ(canvas.span().to, s.to);
  QTest::mouseClick(w.pane().follow_button(), Qt::LeftButton);
  EXPECT_TRUE(canvas.following());
  EXPECT_GE(canvas.span().to, 25000);

  // The wheel zooms out to the whole run at most.
  for (int i = 0; i < 40; ++i) canvas.zoom(-1, 100);
  EXPECT_EQ(canvas.span_ms(), 25000);
  EXPECT_EQ(canvas.span().from, 0);
  for (int i = 0; i < 40; ++i) canvas.zoom(1, 100);
  EXPECT_EQ(canvas.span_ms(), PaneSpan::kShortestMs);
}

// A hand-built record of a run begun at 0: "S3@100" is station 3 sending at 100 ms, "E3@250" its
// frame timer taking it off the bus, "C3@100" a counted collision of that sending (in its tick),
// "M@1000" the running method's end.
RunRecord record_of(std::initializer_list<const char*> script) {
  RunRecord record;
  record.note_start(0, 0);
  std::uint64_t tick = 0;
  std::int8_t method = 0;
  for (const char* item : script) {
    const std::string s = item;
    Event e;
    e.time = std::stoll(s.substr(s.find('@') + 1));
    e.method = method;
    if (s[0] == 'M') {
      e.kind = EventKind::MethodEnd;
      ++method;
    } else {
      e.kind = s[0] == 'S'   ? EventKind::Sent
               : s[0] == 'E' ? EventKind::FrameEnd
                             : EventKind::Collision;
      e.station = static_cast<std::int8_t>(s[1] - '0');
      e.timer = static_cast<std::int16_t>(station_timer(e.method, e.station));
    }
    if (e.kind != EventKind::Collision) ++tick;
    record.add(e, tick);
  }
  return record;
}

QColor qcolour(Rgb c) {
  return QColor(c.r, c.g, c.b, c.a);
}

// The timeline of `span` as the pane lays it out and draws it.
struct Drawn {
  TimelinePicture picture;
  TimelineGeometry geometry;
  QImage image{1600, 300, QImage::Format_RGB32};
};

Drawn draw(const RunRecord& record, const TimelineSpan& span) {
  const Rect area{0, 0, 1600, 300};
  const TimelineStyle style = timeline_style();
  const QtTextMeasure measure;
  Drawn d;
  d.picture.width = area.w;
  d.picture.height = area.h;
  add_timeline(d.picture, area, record, span, style, measure);
  d.geometry = timeline_geometry(area, span.from, span.to, style, measure);
  QPainter painter(&d.image);
  draw_picture(painter, d.picture);
  return d;
}

TEST(TimelinePainter, FramesOverlapsAndCountedCollisionsAsDrawnAndTold) {
  const TimelineStyle style = timeline_style();
  enum class Look { Good, Overlapped, Cross, Nothing };
  const struct Case {
    const char* name;
    RunRecord record;
    VirtualMs from;
    int station;      // where the mouse is
    VirtualMs at;     // and when
    Look look;        // what is drawn there
    const char* tip;  // the tooltip; empty: no frame there
    VirtualMs length = 3000;
  } cases[] = {
      {"a lone frame", record_of({"S3@1000", "E3@1150"}), 0, 3, 1075, Look::Good,
       "Station 3, Pure Aloha\nSent at 1.000 s, off the bus at 1.150 s\nOverlapped no other "
       "frame\nNot counted as a collision"},
      {"nothing beside it", record_of({"S3@1000", "E3@1150"}), 0, 4, 1075, Look::Nothing, ""},
      {"two overlapping frames", record_of({"S1@1000", "S2@1100", "E1@1150", "E2@1250"}), 0, 2,
       1200, Look::Overlapped,
       "Station 2, Pure Aloha\nSent at 1.100 s, off the bus at 1.250 s\nOverlapped station 1 "
       "(sent at 1.000 s)\nNot counted as a collision"},
      {"overlapped before the left edge, by a frame sent further back",
       record_of({"S2@1000", "S1@1100", "E2@1150", "E1@1250"}), 1200, 1, 1225, Look::Overlapped,
       "Station 1, Pure Aloha\nSent at 1.100 s, off the bus at 1.250 s\nOverlapped station 2 "
       "(sent at 1.000 s)\nNot counted as a collision"},
      {"a counted collision", record_of({"S1@1000", "S2@1000", "C2@1000", "E1@1150", "E2@1150"}), 0,
       2, 1000, Look::Cross,
       "Station 2, Pure Aloha\nSent at 1.000 s, off the bus at 1.150 s\nOverlapped station 1 "
       "(sent at 1.000 s)\nCounted as a collision"},
      {"its partner, not counted",
       record_of({"S1@1000", "S2@1000", "C2@1000", "E1@1150", "E2@1150"}), 0, 1, 1100,
       Look::Overlapped,
       "Station 1, Pure Aloha\nSent at 1.000 s, off the bus at 1.150 s\nOverlapped station 2 "
       "(sent at 1.000 s)\nNot counted as a collision"},
      // Where one ends the next begins, at four places within a pixel.
      {"frames back to back",
       record_of({"S3@1000", "E3@1150", "S3@1150", "S4@1200", "E4@1250", "E3@1300", "S3@1300",
                  "E3@1450", "S3@1450", "S4@1500", "E4@1550", "E3@1600", "S3@1600", "E3@1750"}),
       0, 3, 1160, Look::Overlapped,
       "Station 3, Pure Aloha\nSent at 1.150 s, off the bus at 1.300 s\nOverlapped station 4 "
       "(sent at 1.200 s)\nNot counted as a collision"},
      // A pixel column shows an overlapped frame over the others.
      {"frames back to back in a long stretch",
       record_of({"S3@1000", "E3@1150", "S3@1150", "S4@1200", "E4@1250", "E3@1300", "S3@1300",
                  "E3@1450", "S3@1450", "S4@1500", "E4@1550", "E3@1600", "S3@1600", "E3@1750"}),
       0, 3, 100000, Look::Nothing, "", 600000},
      {"off the bus right at the left edge of a long stretch", record_of({"S3@1000", "E3@1150"}),
       1150, 3, 1150, Look::Nothing, "", 600000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TimelineSpan span;
    span.from = c.from;
    span.to = c.from + c.length;
    span.end = 5000;
    const Drawn d = draw(c.record, span);
    const TimelineGeometry& g = d.geometry;
    const int x = static_cast<int>(std::floor(g.x_of(static_cast<double>(c.at))));
    const int y = static_cast<int>(g.row(c.station).centre().y);
    const std::optional<FrameHit> hit = frame_at(d.picture, x, y);
    if (*c.tip == '\0') {
      EXPECT_FALSE(hit.has_value());
    } else {
      ASSERT_TRUE(hit.has_value());
      EXPECT_EQ(frame_tooltip(*hit), c.tip);
    }

    const QColor good = qcolour(style.good_frame), overlapped = qcolour(style.overlapped_frame);
    const QColor drawn = d.image.pixelColor(x, y);
    if (c.look == Look::Nothing) {
      EXPECT_NE(drawn, good);
      EXPECT_NE(drawn, overlapped);
    } else {
      const QColor want = c.look == Look::Good         ? good
                          : c.look == Look::Overlapped ? overlapped
                                                       : qcolour(style.counted);
      // The hatching may cross the very pixel: one of the pixels beside it shows the fill.
      bool found = false;
      for (int dx = -2; dx <= 2; ++dx) found = found || d.image.pixelColor(x + dx, y) == want;
      EXPECT_TRUE(found) << "drawn " << drawn.name().toStdString() << ", wanted "
                         << want.name().toStdString();
    }
    // Along the row, a pixel in a frame's colour tells of the frame drawn there.
    for (int px = static_cast<int>(g.plot.left()); px < static_cast<int>(g.plot.right()); ++px) {
      const QColor colour = d.image.pixelColor(px, y);
      if (colour != good && colour != overlapped) continue;
      const std::optional<FrameHit> there = frame_at(d.picture, px, y);
      ASSERT_TRUE(there.has_value()) << px;
      EXPECT_EQ(there->frame.overlapped, colour == overlapped) << px;
      EXPECT_TRUE(there->bar.contains({px + 0.5, y + 0.5})) << px;
    }
  }
}

TEST(TimelinePainter, AfterAMethodSwitchTheLeftEdgeAndTheFiguresAreTheNewMethods) {
  // Slotted ALOHA begins at 1 s while station 1's frame of pure ALOHA is still on the bus, and
  // station 2's first frame meets it.
  const RunRecord record = record_of({"S1@900", "M@1000", "S2@1010", "E1@1050", "E2@1160"});
  for (const VirtualMs from : {1000, 1001, 1999}) {
    SCOPED_TRACE(from);
    TimelineSpan span;
    span.from = from;
    span.to = from + 3000;
    span.end = 5000;
    const Drawn d = draw(record, span);
    const Text* left = nullptr;
    for (const Primitive& p : d.picture.items) {
      const Text* t = std::get_if<Text>(&p);
      if (t != nullptr && t->at.y < d.geometry.plot.top() &&
          (left == nullptr || t->at.x < left->at.x))
        left = t;
    }
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->text, "Slotted Aloha");
    EXPECT_LT(left->at.x, d.geometry.plot.left() + 10);
  }
  MethodSpans spans;
  spans.update(record);
  EXPECT_EQ(figures_line(record, spans, 2000),
            "Slotted Aloha: offered load G 0.15, throughput counted 0.15, on the bus 0.00 frames "
            "per frame time");
}

}  // namespace
}  // namespace bruvik
