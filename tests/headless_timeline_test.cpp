// The timeline picture of a terminal run: drawn without a display to an SVG or PNG file of the
// asked stretch, small for a whole run; a path that cannot be written is refused before the run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "headless/run.h"
#include "headless/terminal.h"
#include "headless/timeline_file.h"
#include "output_reader.h"
#include "timeline/method_spans.h"
#include "timeline/stretch.h"

namespace bruvik {
namespace {

namespace fs = std::filesystem;

std::uint32_t big_endian(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

Options timeline_options(const fs::path& file) {
  Options o;
  o.headless = true;
  o.seed = 7;
  o.timeline = file.string();
  return o;
}

TEST(TimelineFile, PicturePaneAndTerminalStartTheRunAlike) {
  // "EnableThe Computers" pressed at 2 s: the first method starts then, not at its first
  // attempt, in the terminal's table, the pane's figures and the picture's method row.
  RunParams params;
  params.start.seed = 7;
  RunScript script{params, {{2000, std::nullopt, ActionKind::Click, "Command1", "", 0}}, {}};
  script.until = {2000, std::nullopt, 1};
  RunRecord record;
  const RunResult run = run_script(script, nullptr, &record);
  ASSERT_EQ(run.methods[0].started_ms, 2000);
  EXPECT_EQ(run_start(record), 2000);
  MethodSpans spans;
  spans.update(record);
  ASSERT_EQ(spans.starts()[0], 2000);
  const auto figures = bus_figures(record.events(), spans.starts(), spans.ends(), run.virtual_ms);
  ASSERT_TRUE(run.methods[0].bus && figures[0].offered_load);
  EXPECT_EQ(*figures[0].offered_load, *run.methods[0].bus->offered_load);
}

TEST(TimelineFile, DrawsTheAskedStretchAsSvgOrPng) {
  ASSERT_NE(timeline_drawer(), nullptr) << "installed by the export library";
  const fs::path folder =
      fs::temp_directory_path() / ("bruvik-timeline-test-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const struct {
    const char* file;
    std::optional<VirtualMs> from, to;
    std::vector<const char*> has, lacks;
  } cases[] = {
      {"first.svg",
       0,
       20000,
       {"0 s", "20 s", "Pure Aloha", "0.0 s to 20.0 s"},
       {"21 s", "Slotted"}},
      {"later.SVG", 60000, 63000, {"60.0 s", "63.0 s", "Slotted Aloha"}, {"59.0 s", "Pure Aloha"}},
      {"whole.svg", std::nullopt, std::nullopt, {"0.0 s to 252.3 s", "P Persistant"}, {}},
      {"first.png", 0, 20000, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Options o = timeline_options(folder / c.file);
    o.timeline_from = c.from;
    o.timeline_to = c.to;
    std::ostringstream out, err;
    ASSERT_EQ(run_terminal(o, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_NE(out.str().find("finished: yes, after 252302 virtual ms"), std::string::npos)
        << "the run is printed as usual";
    const std::string bytes = test::read_file(*o.timeline);
    if (std::string(c.file).ends_with(".png")) {
      EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
      EXPECT_EQ(big_endian(bytes, 16), 1600u);
      EXPECT_EQ(big_endian(bytes, 20), 420u);
      continue;
    }
    EXPECT_NE(bytes.find("viewBox=\"0 0 1600 420\""), std::string::npos);
    EXPECT_NE(bytes.find("</svg>"), std::string::npos);
    EXPECT_LT(bytes.size(), 3'000'000u) << "a long stretch is drawn a mark per pixel column";
    for (const char* part : c.has) EXPECT_NE(bytes.find(part), std::string::npos) << part;
    for (const char* part : c.lacks) EXPECT_EQ(bytes.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4)
      << "no temporary files left behind";
  fs::remove_all(folder);
}

TEST(TimelineFile, WhatCannotBeDrawnIsOneSentence) {
  const struct {
    const char* path;
    std::optional<VirtualMs> from;
    std::string says;
  } cases[] = {
      {"/nonexistent-folder-of-bruvik/t.svg", std::nullopt,
       "bruvik: cannot write the timeline to \"/nonexistent-folder-of-bruvik/t.svg\": No such "
       "file or directory.\n"},
      {"", 300000,
       "bruvik: --from 300000 is not before the end of the run (252302 ms); give an earlier "
       "--from or a --to.\n"},
  };
  const fs::path folder = fs::temp_directory_path();
  for (const auto& c : cases) {
    Options o = timeline_options(*c.path ? fs::path(c.path) : folder / "bruvik-late.svg");
    o.timeline_from = c.from;
    std::ostringstream out, err;
    EXPECT_EQ(run_terminal(o, out, err), 1);
    EXPECT_EQ(err.str(), c.says);
    if (*c.path) {
      EXPECT_EQ(out.str(), "") << "refused before the run";
    }
    EXPECT_FALSE(fs::exists(folder / "bruvik-late.svg"));
  }
}

}  // namespace
}  // namespace bruvik
