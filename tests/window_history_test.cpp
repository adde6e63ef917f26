// Going back in the window: the slider and Back show the run exactly as it was, a new action
// drops the recorded future, Save and Open give back the same run, Open takes a link to a moment
// too, and a refused file or link leaves the run on screen untouched and says why.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "history/experiment_file.h"
#include "model/form.h"
#include "model/timer_table.h"
#include "sim/wiring.h"
#include "tests/output_reader.h"
#include "tests/window_support.h"
#include "ui/experiment_files.h"

namespace bruvik {
namespace {

constexpr std::int64_t kMs = 1'000'000;

// What the window shows and what the run goes on from: every control, the clock, the timers.
std::string state_of(const Form1& form) {
  std::string s = std::to_string(form.now()) + " ticks " + std::to_string(form.clock().ticks()) +
                  " " + form.method_code() + "\n";
  for (const Control& c : form.controls()) {
    s += window_name(c.built()) + " [" + c.text() + "] " + std::to_string(c.enabled()) +
         std::to_string(c.visible()) + std::to_string(c.value()) + " " +
         std::to_string(c.border_color()) + "\n";
  }
  for (const BuiltTimer& t : timer_table()) {
    s += std::to_string(form.clock().due(t.number)) + " ";
  }
  return s;
}

// The same run played straight from its start to the moment.
std::string straight_replay(const History& history, const Target& target) {
  Form1 form(history.start().seed, tick_handlers());
  prepare(form, history.start());
  replay(form, 0, history.actions(), target);
  return state_of(form);
}

struct Running : TestWindow {
  using TestWindow::TestWindow;
  QAbstractButton* button(const char* name) { return static_cast<QAbstractButton*>(at(name)); }
  QSlider* slider() { return window->strip().time_slider(); }
  QString message() { return window->strip().message_label()->text(); }
  // Frames of a thirtieth of a second until the run is at `ms`.
  void run_to(VirtualMs ms) {
    while (form.now() < ms) {
      wall_ns += 33 * kMs;
      window->frame();
    }
  }
  void type(const char* box, const QString& text) {
    auto* edit = view().widget_as<QLineEdit>(box);
    edit->setText(text);
    Q_EMIT edit->textEdited(text);
  }
  // The slider held and moved, as a drag does.
  void drag_to(VirtualMs ms) {
    slider()->setSliderDown(true);
    slider()->setValue(static_cast<int>(ms));
    slider()->setSliderDown(false);
  }
};

TEST(WindowHistory, TheSliderShowsTheRunAsItWasAndResumeRunsOnFromThere) {
  Running w;
  w.window->choose_speed(6);  // 50x
  w.button("Command1")->click();
  w.run_to(8'000);
  w.type("Text9", "mine");
  w.button("Command3")->click();
  w.run_to(40'000);
  const VirtualMs end = w.form.now();
  ASSERT_EQ(w.slider()->maximum(), end);

  for (const VirtualMs t : {VirtualMs{0}, VirtualMs{5'000}, VirtualMs{8'250}, VirtualMs{33'333}}) {
    SCOPED_TRACE(t);
    w.drag_to(t);
    EXPECT_TRUE(w.window->pacer().paused());
    EXPECT_EQ(w.form.now(), t);
    EXPECT_EQ(state_of(w.form), straight_replay(*w.history, at_time(w.history->actions(), t)));
    // The widgets show it: a counter, the seconds box, the strip's clock.
    EXPECT_EQ(w.view().widget_as<QLineEdit>("Text1(0)")->text().toStdString(),
              w.form.Text1[0].text());
    EXPECT_EQ(w.view().widget_as<QLineEdit>("Text9")->text().toStdString(), w.form.Text9.text());
    EXPECT_EQ(w.window->strip().time_label()->text(), format_run_time(t));
    EXPECT_EQ(w.slider()->maximum(), end) << "the end stays";
  }
  // Resumed from 5 s, the run plays out as it did, the recorded typing and click included.
  w.drag_to(5'000);
  w.window->toggle_pause();
  w.run_to(end);
  EXPECT_EQ(w.form.Text9.text(), "pure") << "typed at 8 s, then the method wrote its name";
  EXPECT_EQ(w.form.Text11.text(), "6") << "the MTU raised at 8 s";
  EXPECT_EQ(state_of(w.form),
            straight_replay(*w.history, at_time(w.history->actions(), w.form.now())));
  EXPECT_EQ(w.history->actions().size(), 3u);
  EXPECT_TRUE(w.errors.empty());
}

TEST(WindowHistory, BackGoesToTheAttemptBeforeAndANewActionDropsTheFuture) {
  Running w;
  w.button("Command1")->click();
  w.run_to(12'000);
  const std::uint64_t ticks = w.form.clock().ticks();
  w.window->go_back();
  EXPECT_TRUE(w.window->pacer().paused());
  const RecordedEvent* attempt = w.history->record().attempt_before(ticks + 1);
  ASSERT_NE(attempt, nullptr);
  EXPECT_EQ(w.form.now(), attempt->time);
  EXPECT_EQ(w.form.clock().ticks(), w.history->record().tick_of(*attempt));
  EXPECT_TRUE(w.message().startsWith("Back at the attempt at")) << w.message().toStdString();

  w.drag_to(4'000);
  EXPECT_EQ(w.slider()->maximum(), w.history->furthest().time) << "the future is kept";
  EXPECT_GT(w.slider()->maximum(), 11'000);
  w.button("Command3")->click();
  EXPECT_EQ(w.slider()->maximum(), 4'000) << "a new action ends the run's future here";
  EXPECT_EQ(w.message(), "The run after 4.0 s was replaced by your new action.");
  EXPECT_EQ(w.slider()->value(), 4'000);
  ASSERT_EQ(w.history->actions().size(), 2u);
  EXPECT_EQ(w.history->actions().back().control, "Command3");
  EXPECT_EQ(w.history->actions().back().time, 4'000);
}

TEST(WindowHistory, AClickOrEnterOnTheTimelineGoesToThatMoment) {
  Running w(7, true);
  w.window->set_timeline_shown(true);
  w.button("Command1")->click();
  w.run_to(12'000);
  TimelineCanvas& canvas = w.window->timeline()->canvas();
  const QPoint middle(canvas.width() / 2, canvas.height() / 2);
  const VirtualMs there = canvas.moment_at(middle.x());
  ASSERT_GT(there, 9'000);
  ASSERT_LT(there, 11'500);
  QTest::mouseClick(&canvas, Qt::LeftButton, {}, middle);
  EXPECT_TRUE(w.window->pacer().paused());
  EXPECT_EQ(w.form.now(), there);
  EXPECT_EQ(w.slider()->value(), there) << "as the slider does";
  EXPECT_EQ(w.slider()->maximum(), w.history->furthest().time) << "the future is kept";

  canvas.setFocus();
  QTest::keyClick(&canvas, Qt::Key_Return);
  EXPECT_EQ(w.form.now(), std::min(canvas.span().to, w.history->furthest().time));
}

TEST(WindowHistory, EveryActionThatChangesTheRunIsRecordedAtItsMoment) {
  Running w;
  w.button("Command3")->click();
  w.run_to(1'000);
  w.button("Command1")->click();
  w.run_to(2'000);
  w.type("Text9", "x");
  w.window->view().widget_as<QLineEdit>("Text6")->setText("50");
  w.window->view().widget_as<QLineEdit>("Text6")->setModified(true);
  w.window->commit_data_amount_edit();
  w.type("Text7", "3");
  w.button("Command8")->click();  // RESTART: a fresh copy, nothing to record
  std::string seen;
  for (const UserAction& a : w.history->actions()) {
    seen += std::to_string(a.time) + " " + std::string(action_kind_name(a.kind)) + " " + a.control +
            " " + a.text + ";";
  }
  EXPECT_EQ(seen,
            "0 click Command3 ;1023 click Command1 ;2013 type Text9 x;2013 data_amount Text6 50;"
            "2013 type Text7 3;");
  EXPECT_EQ(w.restarts, 1);
}

TEST(WindowHistory, TheHeldHandleStaysUnderTheHandWhileTheClockMoves) {
  Running w;
  w.button("Command1")->click();
  w.run_to(6'000);
  w.slider()->setSliderDown(true);
  w.slider()->setValue(2'000);
  w.window->pacer().set_paused(false);  // the Pause key while the mouse holds the handle
  w.run_to(4'000);
  EXPECT_EQ(w.slider()->value(), 2'000);
  w.slider()->setSliderDown(false);
  w.window->refresh();
  EXPECT_EQ(w.slider()->value(), w.form.now()) << "let go, it follows the clock again";
}

TEST(WindowHistory, SaveThenOpenGivesTheSameRunPausedWhereItWasSaved) {
  QTemporaryDir dir;
  const QString file = dir.filePath("lesson.bruvik");
  std::string saved;
  VirtualMs saved_ms = 0;
  {
    Running w(7);
    w.button("Command1")->click();
    w.run_to(6'000);
    w.type("Text9", "saved");
    w.run_to(9'000);
    ASSERT_TRUE(w.window->save_experiment(file));
    saved = state_of(w.form);
    saved_ms = w.form.now();
  }
  Running other(9);
  other.button("Command1")->click();
  other.run_to(3'000);
  ASSERT_TRUE(other.window->open_experiment(file)) << other.notices.front().toStdString();
  EXPECT_EQ(state_of(other.form), saved);
  EXPECT_TRUE(other.window->pacer().paused());
  EXPECT_EQ(other.window->strip().seed_label()->text(), "Seed 7");
  EXPECT_EQ(other.history->start().seed, 7u);
  EXPECT_EQ(other.slider()->maximum(), saved_ms);
  EXPECT_TRUE(other.notices.empty()) << "no title, no note: nothing to tell";
  // The opened run goes back like a live one.
  other.drag_to(6'500);
  EXPECT_EQ(state_of(other.form),
            straight_replay(*other.history, at_time(other.history->actions(), 6'500)));

  // A guided experiment's title and note stay in the lesson window, with no box to dismiss
  // first, and are kept when the run is saved again; the run of an untitled file has none.
  const ExperimentRead read = read_experiment_file(file.toStdString());
  ASSERT_TRUE(read.experiment);
  Experiment guided = *read.experiment;
  guided.title = "Slot length";
  guided.note = "Which method wins now?";
  const QString guided_file = dir.filePath("guided.bruvik");
  ASSERT_TRUE(write_experiment(guided_file, guided).isEmpty());
  ASSERT_TRUE(other.window->open_experiment(guided_file));
  EXPECT_TRUE(other.notices.empty());
  EXPECT_EQ(other.window->lesson_text()->text(), "<b>Slot length</b><br>Which method wins now?");
  const QString again = dir.filePath("again.bruvik");
  for (const auto& [opened, title, note] :
       {std::tuple{guided_file, "Slot length", "Which method wins now?"},
        std::tuple{file, "", ""}}) {
    ASSERT_TRUE(other.window->open_experiment(opened));
    other.window->toggle_pause();
    other.run_to(other.form.now() + 1'000);
    ASSERT_TRUE(other.window->save_experiment(again));
    const ExperimentRead resaved = read_experiment_file(again.toStdString());
    ASSERT_TRUE(resaved.experiment) << resaved.error;
    EXPECT_EQ(resaved.experiment->title, title);
    EXPECT_EQ(resaved.experiment->note, note);
  }
}

// A file of the first version (saved between two ticks of a millisecond, gone back behind its
// last action) opens where it was saved; saved again, as today's version, it opens there too.
TEST(WindowHistory, AFirstVersionFileSavedAgainOpensToTheSameState) {
  const std::filesystem::path first = std::filesystem::path(__FILE__).parent_path() / "version1" /
                                      "window-saved-before-last-action.bruvik";
  QTemporaryDir dir;
  const QString again = dir.filePath("again.bruvik");
  Running w;
  ASSERT_TRUE(w.window->open_experiment(QString::fromStdString(first.string())));
  ASSERT_TRUE(w.window->save_experiment(again));
  Running other;
  ASSERT_TRUE(other.window->open_experiment(again));
  EXPECT_EQ(state_of(other.form), state_of(w.form));
  EXPECT_EQ(other.form.now(), 10'500);
  EXPECT_EQ(other.history->actions().size(), 4u) << "the action after the saved moment is kept";
  const ExperimentRead resaved = read_experiment_file(again.toStdString());
  ASSERT_TRUE(resaved.experiment);
  EXPECT_EQ(resaved.experiment->ticks, TickCount::Rule);
}

TEST(WindowHistory, ARefusedFileLeavesTheRunUntouchedAndSaysWhy) {
  const std::string head =
      R"({"format": "bruvik-experiment", "version": 1, "seed": 3, "settings": {"mtu": 5, )"
      R"("rate": 5, "frame_length": 5, "data_amount": "100"}, "actions": )";
  const struct {
    const char* what;
    std::string text;
    const char* says;
  } cases[] = {
      {"not JSON", "{\"format\": ", "This file is not a BRUVIK experiment: it is not JSON ("},
      {"wrong format name", R"({"format": "other", "version": 1})",
       "This file is not a BRUVIK experiment: format: must be \"bruvik-experiment\", not "
       "\"other\"."},
      {"newer version", R"({"format": "bruvik-experiment", "version": 3})",
       "This file is not a BRUVIK experiment: version: 3 is newer than this BRUVIK reads (2)."},
      {"out-of-range value",
       head.substr(0, head.find("\"mtu\": 5")) +
           R"("mtu": 11, "rate": 5, "frame_length": 5, "data_amount": "100"}, "actions": []})",
       "This file is not a BRUVIK experiment: settings.mtu: must be from 1 to 10, not 11."},
      {"actions out of order",
       head + R"([{"ms": 9, "do": "click", "control": "Command1"}, )"
              R"({"ms": 5, "do": "click", "control": "Command3"}]})",
       "This file is not a BRUVIK experiment: actions[1].ms: 5 is earlier than the action "
       "before it (9)."},
      {"unknown kind", head + R"([{"ms": 9, "do": "jump", "control": "Command1"}]})",
       "This file is not a BRUVIK experiment: actions[0].do: \"jump\" is not an action"},
      {"a moment the run never reaches",
       head + R"([{"ms": 10, "tick": 99999, "do": "click", "control": "Command1"}]})",
       "This file is not a BRUVIK experiment: action 1 comes after tick 99999"},
  };
  QTemporaryDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Running w;
    w.button("Command1")->click();
    w.run_to(3'000);
    const std::string before = state_of(w.form);
    const QString file = dir.filePath("bad.bruvik");
    std::ofstream(file.toStdString(), std::ios::binary) << c.text;
    EXPECT_FALSE(w.window->open_experiment(file));
    ASSERT_EQ(w.notices.size(), 1u);
    EXPECT_TRUE(w.notices[0].startsWith(QString::fromStdString(c.says)))
        << w.notices[0].toStdString();
    EXPECT_EQ(state_of(w.form), before);
    EXPECT_EQ(w.history->actions().size(), 1u);
    EXPECT_EQ(w.window->strip().seed_label()->text(), "Seed 7");
  }
  Running w;
  EXPECT_FALSE(w.window->open_experiment(dir.filePath("missing.bruvik")));
  EXPECT_EQ(w.notices, std::vector<QString>{"This file cannot be opened."});
}

// A link as the page makes it, given to Open where a file's name goes: it opens the moment the
// file it holds opens at, or is refused as the page refuses it.
TEST(WindowHistory, OpenTakesALinkToAMomentAsItTakesAFile) {
  const std::filesystem::path tests = std::filesystem::path(__FILE__).parent_path();
  const QString guided = QString::fromStdString(
      (tests.parent_path() / "experiments" / "3-csma-blind-50-ms.bruvik").string());
  Running by_file;
  ASSERT_TRUE(by_file.window->open_experiment(guided));
  const struct {
    const char* what;
    std::string link;
    const char* says;  // the message, else the refusal
  } cases[] = {
      {"a whole address", test::read_file(tests / "links" / "csma-blind.link"),
       "Opened the link at "},
      {"a file that does not fit", "#e=eyJmb3JtYXQiOiAib3RoZXIiLCAidmVyc2lvbiI6IDF9",
       "The link is not a BRUVIK experiment: format: must be \"bruvik-experiment\", not "
       "\"other\"."},
      {"a damaged link", "#z=SwRCAA", "This link is damaged: its experiment does not inflate."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Running w;
    w.button("Command1")->click();
    w.run_to(3'000);
    const std::string before = state_of(w.form);
    w.chooses = {QString::fromStdString(c.link)};
    w.window->open_with_dialog();
    if (w.notices.empty()) {
      EXPECT_EQ(state_of(w.form), state_of(by_file.form));
      EXPECT_EQ(w.window->lesson_text()->text(), by_file.window->lesson_text()->text());
      EXPECT_TRUE(w.message().startsWith(c.says)) << w.message().toStdString();
    } else {
      ASSERT_EQ(w.notices.size(), 1u);
      EXPECT_EQ(w.notices[0].toStdString(), c.says);
      EXPECT_EQ(state_of(w.form), before);
    }
  }
}

// The dialog itself looks for a file of the name typed and, finding none, keeps Open disabled
// and Enter says so: a link pasted there is taken as it is, a file's name still as a file.
TEST(WindowHistory, TheOpenDialogTakesALinkPastedIntoItsFileName) {
  const std::filesystem::path tests = std::filesystem::path(__FILE__).parent_path();
  const QString folder = QString::fromStdString((tests.parent_path() / "experiments").string());
  const QString link = QString::fromStdString(test::read_file(tests / "links" / "csma-blind.link"));
  const QString guided = QDir(folder).filePath("3-csma-blind-50-ms.bruvik");
  const struct {
    QString pasted;
    bool by_enter;  // else Open clicked
  } cases[] = {{link, true}, {link, false}, {"#e=QUFB", false}, {guided, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pasted.left(60).toStdString() + (c.by_enter ? " Enter" : " Open"));
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      // Whatever is still open then, the dialog or its word that no such file exists, was not
      // taken.
      QTimer::singleShot(1000, dialog, [] {
        while (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
          open->reject();
        }
      });
      // Long enough for the dialog to have looked at its folder, then at the name.
      QTest::qWait(200);
      QApplication::clipboard()->setText(c.pasted);
      QTest::keyClick(dialog->focusWidget(), Qt::Key_V, Qt::ControlModifier);
      QTest::qWait(200);
      if (c.by_enter) {
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
      } else {
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open),
                          Qt::LeftButton);
      }
    });
    EXPECT_EQ(choose_experiment_to_open(nullptr, folder).toStdString(), c.pasted.toStdString());
  }
}

TEST(WindowHistory, TheGuidedExperimentsAreFoundInstalledElseInTheSourceTree) {
  QTemporaryDir root;
  QDir(root.path()).mkpath("usr/bin");
  QDir(root.path()).mkpath("src/experiments");
  const QString bin = root.filePath("usr/bin");
  const QString src = root.filePath("src");
  EXPECT_EQ(guided_experiments_folder(bin, src), root.filePath("src/experiments"));
  QDir(root.path()).mkpath("usr/share/bruvik/experiments");
  EXPECT_EQ(guided_experiments_folder(bin, src), root.filePath("usr/share/bruvik/experiments"));
  EXPECT_EQ(guided_experiments_folder(root.filePath("none"), root.filePath("none")), "");
  EXPECT_EQ(default_experiment_name(7), "bruvik-seed7.bruvik");
  EXPECT_EQ(with_experiment_extension("/a/b"), "/a/b.bruvik");
  EXPECT_EQ(with_experiment_extension("/a/b.BRUVIK"), "/a/b.BRUVIK");
}

}  // namespace
}  // namespace bruvik
