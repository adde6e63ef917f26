// The screenshot, the machine without a display, and RESTART: what a separate process or the
// platform sees.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/launch.h"

namespace bruvik {
namespace {

Options screenshot_options(const QString& file) {
  Options o;
  o.seed = 7;
  o.screenshot = file.toStdString();
  return o;
}

TEST(Screenshot, WritesThePictureOfTheWholeWindow) {
  QTemporaryDir dir;
  const QString file = dir.filePath("w.png");
  std::string error;
  ASSERT_EQ(write_screenshot(screenshot_options(file), error), 0) << error;
  const QImage picture(file);
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.width(), 1016);
  EXPECT_GT(picture.height(), 705) << "the client area and the strip";
  EXPECT_EQ(picture.pixelColor(470, 300), QColor(255, 192, 192)) << "the pink window";
  EXPECT_NE(picture.pixelColor(100, 660), QColor(255, 192, 192)) << "the start button";
}

TEST(Screenshot, ARunShowsInThePicture) {
  QTemporaryDir dir;
  Options at_start = screenshot_options(dir.filePath("a.png"));
  Options later = screenshot_options(dir.filePath("b.png"));
  later.start = true;
  later.at = 30000;
  std::string error;
  ASSERT_EQ(write_screenshot(at_start, error), 0) << error;
  ASSERT_EQ(write_screenshot(later, error), 0) << error;
  const QImage a(dir.filePath("a.png"));
  const QImage b(dir.filePath("b.png"));
  ASSERT_EQ(a.size(), b.size());
  // The strip's clock and the counters differ; the frame of the window does not.
  EXPECT_NE(a, b);
  EXPECT_EQ(a.pixelColor(470, 300), b.pixelColor(470, 300));
  // The same options give the same picture.
  ASSERT_EQ(write_screenshot(later, error), 0) << error;
  EXPECT_EQ(QImage(dir.filePath("b.png")), b);

  // So does the same run replayed from its experiment file, at --at or where it was saved.
  QFile file(dir.filePath("e.bruvik"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(R"({"format": "bruvik-experiment", "version": 1, "seed": 7, "settings": {"mtu": 5,
      "rate": 5, "frame_length": 5, "data_amount": "100"}, "saved_at": {"ms": 30000,
      "actions": 1}, "actions": [{"ms": 0, "do": "click", "control": "Command1"}]})");
  file.close();
  for (const bool at_given : {true, false}) {
    Options replayed;
    replayed.experiment = dir.filePath("e.bruvik").toStdString();
    replayed.screenshot = dir.filePath("c.png").toStdString();
    replayed.at = at_given ? 30000 : 0;
    replayed.at_given = at_given;
    ASSERT_EQ(write_screenshot(replayed, error), 0) << error;
    EXPECT_EQ(QImage(dir.filePath("c.png")), b) << at_given;
  }
  // With the timeline: the same client area over the strip and the pane, whose frames show.
  Options with = later;
  with.screenshot = dir.filePath("d.png").toStdString();
  with.with_timeline = true;
  ASSERT_EQ(write_screenshot(with, error), 0) << error;
  const QImage c(dir.filePath("d.png"));
  ASSERT_EQ(c.width(), b.width());
  ASSERT_GT(c.height(), b.height() + 150);
  EXPECT_EQ(c.copy(0, 0, 1016, 705), b.copy(0, 0, 1016, 705));
  int blue = 0;
  for (int y = b.height(); y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) blue += c.pixelColor(x, y) == QColor(31, 119, 180);
  }
  EXPECT_GT(blue, 200) << "frames on the bus in the last three seconds";
}

TEST(Screenshot, AFileThatCannotBeWrittenIsOneClearSentence) {
  QTemporaryDir dir;
  for (const QString& file : {dir.filePath("no/such/folder/w.png"), dir.path(), QString()}) {
    SCOPED_TRACE(file.toStdString());
    std::string error;
    EXPECT_EQ(write_screenshot(screenshot_options(file), error), 1);
    EXPECT_NE(error.find("cannot write the screenshot to \"" + file.toStdString() + "\""),
              std::string::npos)
        << error;
    EXPECT_EQ(error.back(), '.');
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("no/such/folder/w.png")));
}

TEST(Screenshot, ARunTimeErrorBeforeThePictureIsReported) {
  QTemporaryDir dir;
  Options o = screenshot_options(dir.filePath("w.png"));
  o.data_amount = "x";
  std::string error;
  EXPECT_EQ(write_screenshot(o, error), 1);
  EXPECT_NE(error.find("must begin with a number"), std::string::npos) << error;
  EXPECT_FALSE(QFile::exists(dir.filePath("w.png")));
}

struct Outcome {
  int code;
  QString err;
};

Outcome run_program(const QStringList& arguments, const QProcessEnvironment& env) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(BRUVIK_PROGRAM), arguments);
  EXPECT_TRUE(p.waitForFinished(30000));
  return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
}

QProcessEnvironment without_display() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  return env;
}

TEST(Screenshot, TheProgramWritesItWithoutADisplay) {
  QTemporaryDir dir;
  const QString file = dir.filePath("w.png");
  const Outcome ok = run_program({"--seed", "3", "--start", "--at", "5000", "--screenshot", file},
                                 without_display());
  EXPECT_EQ(ok.code, 0) << ok.err.toStdString();
  EXPECT_TRUE(ok.err.isEmpty()) << ok.err.toStdString();
  EXPECT_FALSE(QImage(file).isNull());

  const Outcome bad = run_program({"--screenshot", dir.filePath("none/w.png")}, without_display());
  EXPECT_EQ(bad.code, 1);
  EXPECT_EQ(bad.err.count('\n'), 1) << bad.err.toStdString();
  EXPECT_TRUE(bad.err.startsWith("bruvik: cannot write the screenshot")) << bad.err.toStdString();
}

TEST(WindowStart, NoDisplayIsOneSentenceAndAHint) {
  QProcessEnvironment unreachable = without_display();
  unreachable.insert("DISPLAY", ":54321");
  const struct {
    const char* what;
    QProcessEnvironment env;
    const char* says;
  } cases[] = {
      {"no display at all", without_display(), "there is no display"},
      {"a display that is not there", unreachable, "\":54321\" cannot be reached"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome out = run_program({}, c.env);
    EXPECT_EQ(out.code, 1);
    EXPECT_EQ(out.err.count('\n'), 1) << out.err.toStdString();
    EXPECT_TRUE(out.err.contains(c.says)) << out.err.toStdString();
    EXPECT_TRUE(out.err.contains("bruvik --headless")) << out.err.toStdString();
    EXPECT_TRUE(out.err.contains("--screenshot FILE")) << out.err.toStdString();
  }
}

TEST(WindowStart, OnlyAMachineWithNothingSetHasNoDisplay) {
  const struct {
    const char* display;
    const char* wayland;
    const char* platform;
    bool refused;
  } cases[] = {
      {nullptr, nullptr, nullptr, true},      {"", "", "", true},
      {":0", nullptr, nullptr, false},        {nullptr, "wayland-0", nullptr, false},
      {nullptr, nullptr, "offscreen", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(no_display_sentence(c.display, c.wayland, c.platform).has_value(), c.refused)
        << (c.display ? c.display : "-") << " " << (c.wayland ? c.wayland : "-");
  }
  EXPECT_EQ(platform_list(nullptr), "xcb;offscreen");
  EXPECT_EQ(platform_list("wayland-0"), "wayland;xcb;offscreen");
}

TEST(WindowStart, RestartEndsThisCopyOnlyOnceTheNewOneStarted) {
  const struct {
    std::optional<QString> failure;
    std::vector<std::string> calls;
    QString told;
  } cases[] = {
      {std::nullopt, {"start", "end"}, ""},
      {QStringLiteral("execv: No such file or directory"),
       {"start", "told"},
       "RESTART could not start a new copy of the program (execv: No such file or directory), so "
       "this window stays open."},
  };
  for (const auto& c : cases) {
    std::vector<std::string> calls;
    QString program, told;
    QStringList arguments;
    const auto restart = restart_action(
        "/opt/bruvik/bruvik", {"--seed", "5"},
        [&](const QString& p, const QStringList& a) {
          calls.push_back("start");
          program = p;
          arguments = a;
          return c.failure;
        },
        [&] { calls.push_back("end"); },
        [&](const QString& sentence) {
          calls.push_back("told");
          told = sentence;
        });
    restart();
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(told, c.told);
    EXPECT_EQ(program, "/opt/bruvik/bruvik");
    EXPECT_EQ(arguments, (QStringList{"--seed", "5"}));
  }
}

}  // namespace
}  // namespace bruvik
