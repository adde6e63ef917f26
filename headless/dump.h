// The whole window state as JSON: every control by its window name, every timer.
#pragma once

#include <cstdint>
#include <string>

#include "view/colours.h"  // colour_text, as the dump writes colours

namespace bruvik {

class Form1;

std::string state_json(Form1& form);

}  // namespace bruvik
