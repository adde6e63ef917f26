// A run's outcome as text and back, bit for bit: the page runs its terminal runs in Web Workers,
// each with its own module, and hands the outcomes to the module that prints the report.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "headless/batch.h"

namespace bruvik {

// Every field of each outcome, its parameters too, so that the reader may check them against
// its own plan. Doubles go as their bit patterns, so that no text conversion can round them.
std::string encode_runs(std::span<const BatchRun> runs);

// The outcomes of `encode_runs`. Throws std::invalid_argument when the text is not such a list.
std::vector<BatchRun> decode_runs(std::string_view text);

}  // namespace bruvik
