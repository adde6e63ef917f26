// The command line: every option, its range and default, and one clear sentence for whatever
// is refused.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "options/options.h"

namespace bruvik {

struct CommandLine {
  enum class Action { Run, Help, Version, Refuse };
  Action action = Action::Run;
  Options options;
  std::string text;  // help, version, or the sentence that says what was refused
};

// `arguments` holds the program name first, as argv does.
CommandLine parse_command_line(const std::vector<std::string>& arguments);

// Help and version on standard output (exit 0), a refusal on standard error (exit 2); none for
// a line that asks for a run.
std::optional<int> answer_without_running(const CommandLine& line);

}  // namespace bruvik
