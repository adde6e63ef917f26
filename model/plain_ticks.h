// The plainest store of a clock's pending ticks: the armed timers in one list sorted by their
// ticks' (due time, sequence number), which the clock keeps per timer and `before` compares.
// Insert and remove cost O(timers), the front O(1). The clock keeps every tick here when its
// shortcuts are off; the fast stores must deliver in the same order.
#pragma once

#include <algorithm>
#include <vector>

namespace bruvik {

class PlainTicks {
 public:
  bool empty() const { return timers_.empty(); }
  // The timer of the earliest tick; not when empty.
  int front() const { return timers_.front(); }

  template <class Before>
  void insert(int timer, Before before) {
    // A fresh arming is the latest, so its place is searched from the end.
    auto at = timers_.end();
    while (at != timers_.begin() && before(timer, *(at - 1))) --at;
    timers_.insert(at, timer);
  }
  void remove(int timer) { timers_.erase(std::find(timers_.begin(), timers_.end(), timer)); }

 private:
  std::vector<int> timers_;
};

}  // namespace bruvik
