// The terminal program under node: the options of `bruvik --headless` that need no window and no
// Qt picture, with the same bytes out. The word --headless may be left out.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "headless/terminal.h"
#include "headless/timeline_file.h"
#include "program/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  if (std::find(arguments.begin(), arguments.end(), "--headless") == arguments.end()) {
    arguments.insert(arguments.begin() + (arguments.empty() ? 0 : 1), "--headless");
  }
  const bruvik::CommandLine line = bruvik::parse_command_line(arguments);
  if (const auto code = bruvik::answer_without_running(line)) return *code;
  const bruvik::Options& o = line.options;
  if (o.screenshot || o.plot) {
    std::fputs(
        "bruvik: this build has no window and draws no plots; run it without --screenshot "
        "and --plot.\n",
        stderr);
    return bruvik::kUsageError;
  }
  return o.dump_at ? bruvik::dump_state(o) : bruvik::run_terminal(o);
}
