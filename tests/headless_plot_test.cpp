// The sweep plot: drawn without a display into a PNG or SVG file of the asked size, through the
// terminal run as a user asks for it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "headless/plot.h"
#include "headless/terminal.h"
#include "output_reader.h"

namespace bruvik {
namespace {

namespace fs = std::filesystem;

std::uint32_t big_endian(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

TEST(Plot, TheDrawerIsInstalledByTheLibrary) {
  EXPECT_NE(plot_drawer(), nullptr);
}

TEST(Plot, ASweepDrawsAValidImageOfTheExpectedSize) {
  const fs::path folder =
      fs::temp_directory_path() / ("bruvik-plot-test-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  struct Case {
    const char* file;
    PlotAxis axis;
    std::vector<const char*> shows;  // in the SVG
  };
  const Case cases[] = {
      {"throughput.png", PlotAxis::Value, {}},
      {"throughput.SVG", PlotAxis::Value, {"Slotted Aloha"}},
      {"load.svg",
       PlotAxis::Load,
       {"Slotted Aloha", "offered load G (frames per frame time of 150 ms)",
        "throughput on the bus S (frames per frame time)",
        "non-persistent CSMA, a = 1/3 (Kleinrock-Tobagi)",
        "1-persistent CSMA, a = 1/3 (Kleinrock-Tobagi)", "P Persistant: no textbook curve drawn",
        "its own last attempt", "docs/how-bruvik-counts.md", ">6</text>"}},
  };
  for (const Case& c : cases) {
    Options o;
    o.headless = true;
    o.seed = 3;
    o.runs = 3;
    o.sweep = Sweep{"rate", 3, 6, 1};
    o.plot = (folder / c.file).string();
    o.plot_axis = c.axis;
    std::ostringstream out, err;
    ASSERT_EQ(run_terminal(o, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    const std::string bytes = test::read_file(*o.plot);
    if (std::string(c.file).ends_with(".png")) {
      ASSERT_GT(bytes.size(), 1000u);
      EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
      EXPECT_EQ(bytes.substr(12, 4), "IHDR");
      EXPECT_EQ(big_endian(bytes, 16), 1200u);  // width
      EXPECT_EQ(big_endian(bytes, 20), 800u);   // height
    } else {
      EXPECT_NE(bytes.find("<svg"), std::string::npos);
      EXPECT_NE(bytes.find("viewBox=\"0 0 1200 800\""), std::string::npos);
      EXPECT_NE(bytes.find("</svg>"), std::string::npos);
      for (const char* text : c.shows) EXPECT_NE(bytes.find(text), std::string::npos) << text;
      // The load plot alone has the textbook curves.
      EXPECT_EQ(bytes.find("Kleinrock") != std::string::npos, c.axis == PlotAxis::Load);
    }
  }
  // Nothing but the plots: no temporary files left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
  fs::remove_all(folder);
}

TEST(Plot, AnUnwritablePlotPathIsRefusedBeforeTheRuns) {
  Options o;
  o.headless = true;
  o.seed = 3;
  o.sweep = Sweep{"rate", 3, 4, 1};
  o.plot = "/nonexistent-folder-of-bruvik/p.png";
  std::ostringstream out, err;
  EXPECT_EQ(run_terminal(o, out, err), 1);
  EXPECT_EQ(err.str(),
            "bruvik: cannot write the plot to \"/nonexistent-folder-of-bruvik/p.png\": No such "
            "file or directory.\n");
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace bruvik
