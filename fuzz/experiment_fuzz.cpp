// Fuzz target: experiment files. Arbitrary bytes are read as one; a file that is accepted is
// replayed to check its moments, and what it writes back must read as the same experiment.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "history/experiment_file.h"
#include "sim/wiring.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  bruvik::ExperimentRead read = bruvik::parse_experiment(text);
  if (!read.experiment) {
    // A refusal always says why, in one sentence.
    if (read.error.empty() || read.error.back() != '.') std::abort();
    return 0;
  }
  bruvik::Experiment e = *read.experiment;
  const std::string refused = bruvik::check_by_replay(e, bruvik::tick_handlers());
  if (!refused.empty() && refused.back() != '.') std::abort();
  const bruvik::ExperimentRead again = bruvik::parse_experiment(bruvik::experiment_json(e));
  if (!again.experiment || !(*again.experiment == e)) {
    std::fprintf(stderr, "written and read again, it differs: %s\n", again.error.c_str());
    std::abort();
  }
  return 0;
}
