// The whole window state as JSON: every control by its window name, every timer.
#pragma once

#include <cstdint>
#include <string>

#include "model/control.h"

namespace bruvik {

class Form1;

// "#RRGGBB" for a model colour (0x00BBGGRR); a system colour resolves to its usual look.
std::string colour_text(Colour colour);

// "label", "text_box", "command_button", ...
const char* kind_name(Kind kind);

std::string state_json(Form1& form);

}  // namespace bruvik
