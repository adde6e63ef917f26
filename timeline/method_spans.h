// When each method of a run began and ended, read from its record as it grows, and the line of
// the running method's figures: offered load and the throughputs counted and on the bus.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "history/record.h"

namespace bruvik {

class MethodSpans {
 public:
  // Reads them from the record, which keeps them however long the run.
  void update(const RunRecord& record);

  // Method 0 begins when the run began (run_begun), method k > 0 when method k - 1 ends.
  const std::array<std::optional<VirtualMs>, 5>& starts() const { return starts_; }
  const std::array<std::optional<VirtualMs>, 5>& ends() const { return ends_; }
  // The method running at `t`: -1 before the run, kMethods once the last one has ended.
  int running_at(VirtualMs t) const;
  // When the run finished, if it had by `t`.
  std::optional<VirtualMs> finished_by(VirtualMs t) const;

 private:
  std::array<std::optional<VirtualMs>, 5> starts_{};
  std::array<std::optional<VirtualMs>, 5> ends_{};
};

// "Pure Aloha: offered load G 0.46, throughput counted 0.28, on the bus 0.15 frames per frame
// time", for the method running at `now` (the last one once the run has finished), over its
// span up to `now`. Reads only that method's events.
std::string figures_line(const RunRecord& record, const MethodSpans& spans, VirtualMs now);

}  // namespace bruvik
