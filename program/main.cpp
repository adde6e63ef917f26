// Entry point: reads the command line and hands over to the window or the terminal.
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "headless/terminal.h"
#include "model/clock.h"
#include "program/cli.h"
#include "ui/window_app.h"

int main(int argc, char** argv) {
  // Every shortcut of the clock off, for checking that none of them changes anything.
  std::string refused;
  const auto mode = bruvik::clock_mode_from(std::getenv("BRUVIK_CLOCK"), &refused);
  if (!mode) {
    std::fputs(("bruvik: " + refused + "\n").c_str(), stderr);
    return bruvik::kUsageError;
  }
  bruvik::set_default_clock_mode(*mode);
  QCoreApplication::setApplicationName("bruvik");
  QCoreApplication::setApplicationVersion(BRUVIK_VERSION);
  const std::vector<std::string> arguments(argv, argv + argc);
  const bruvik::CommandLine line = bruvik::parse_command_line(arguments);
  switch (line.action) {
    case bruvik::CommandLine::Action::Help:
    case bruvik::CommandLine::Action::Version:
      std::fputs((line.text + "\n").c_str(), stdout);
      return 0;
    case bruvik::CommandLine::Action::Refuse:
      std::fputs((line.text + "\n").c_str(), stderr);
      return bruvik::kUsageError;
    case bruvik::CommandLine::Action::Run:
      break;
  }
  const bruvik::Options& o = line.options;
  if (o.headless) return o.dump_at ? bruvik::dump_state(o) : bruvik::run_terminal(o);
  if (o.screenshot) return bruvik::take_screenshot(o, argc, argv);
  return bruvik::run_window(o, argc, argv);
}
