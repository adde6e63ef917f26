// Entry point: reads the command line and hands over to the window or the terminal. A terminal
// run loads no Qt: the window and the pictures come from a library loaded only for them.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "headless/plot.h"
#include "headless/terminal.h"
#include "headless/timeline_file.h"
#include "model/clock.h"
#include "program/cli.h"
#include "program/gui_library.h"

int main(int argc, char** argv) {
  // Every shortcut of the clock off, for checking that none of them changes anything.
  std::string refused;
  const auto mode = bruvik::clock_mode_from(std::getenv("BRUVIK_CLOCK"), &refused);
  if (!mode) {
    std::fputs(("bruvik: " + refused + "\n").c_str(), stderr);
    return bruvik::kUsageError;
  }
  bruvik::set_default_clock_mode(*mode);
  const std::vector<std::string> arguments(argv, argv + argc);
  const bruvik::CommandLine line = bruvik::parse_command_line(arguments);
  if (const auto code = bruvik::answer_without_running(line)) return *code;
  const bruvik::Options& o = line.options;
  // An SVG timeline is written without any library.
  const bool pictures =
      o.headless && (o.plot || (o.timeline && !bruvik::svg_file_name(*o.timeline)));
  const bruvik::GuiLibrary* gui = nullptr;
  if (!o.headless || pictures) {
    std::string error;
    gui = bruvik::load_gui_library(*mode, error);
    if (gui == nullptr) {
      std::fputs(("bruvik: " + error + "\n").c_str(), stderr);
      return 1;
    }
  }
  if (pictures) {
    bruvik::set_plot_drawer(gui->draw_plot);
    bruvik::set_timeline_drawer(gui->draw_timeline);
  }
  if (o.headless) return o.dump_at ? bruvik::dump_state(o) : bruvik::run_terminal(o);
  if (o.screenshot) return gui->take_screenshot(o, argc, argv);
  return gui->run_window(o, argc, argv);
}
