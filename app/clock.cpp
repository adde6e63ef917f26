#include "app/clock.h"

#include "app/runtime_error.h"

namespace bruvik {

Clock::Clock(int count, Deliver deliver, void* context)
    : slots_(static_cast<std::size_t>(count) + 1), deliver_(deliver), context_(context) {
  heap_.reserve(static_cast<std::size_t>(count));
}

void Clock::set_enabled(int timer, bool on) {
  Slot& s = slots_[timer];
  if (on == s.enabled) return;  // re-enabling a running timer leaves its countdown running
  s.enabled = on;
  if (on) {
    arm(timer);
  } else {
    disarm(timer);
  }
}

void Clock::set_interval(int timer, std::int32_t interval) {
  if (interval < 0) throw RuntimeError(ErrorCode::InvalidPropertyValue);
  Slot& s = slots_[timer];
  s.interval = interval;
  if (s.enabled) arm(timer);
}

void Clock::set_idle_probe(int timer, IdleProbe probe, const void* context) {
  slots_[timer].probe = probe;
  slots_[timer].probe_context = context;
}

VirtualMs Clock::due(int timer) const {
  const Slot& s = slots_[timer];
  return s.heap_pos < 0 ? -1 : s.due;
}

VirtualMs Clock::next_due() const {
  return heap_.empty() ? -1 : slots_[heap_.front()].due;
}

void Clock::arm(int timer) {
  Slot& s = slots_[timer];
  if (s.interval <= 0) {
    disarm(timer);
    return;
  }
  const VirtualMs old_due = s.due;
  const std::uint64_t old_seq = s.seq;
  s.due = now_ + s.interval;
  s.seq = next_seq_++;
  if (s.heap_pos < 0) {
    heap_.push_back(timer);
    s.heap_pos = static_cast<int>(heap_.size()) - 1;
    sift_up(s.heap_pos);
  } else if (s.due < old_due || (s.due == old_due && s.seq < old_seq)) {
    sift_up(s.heap_pos);
  } else {
    sift_down(s.heap_pos);
  }
}

void Clock::disarm(int timer) {
  Slot& s = slots_[timer];
  const int pos = s.heap_pos;
  if (pos < 0) return;
  s.heap_pos = -1;
  const int last = heap_.back();
  heap_.pop_back();
  if (last == timer) return;
  place(pos, last);
  sift_up(pos);
  sift_down(slots_[last].heap_pos);
}

void Clock::sift_up(int pos) {
  const int timer = heap_[static_cast<std::size_t>(pos)];
  while (pos > 0) {
    const int parent = (pos - 1) / 2;
    const int p = heap_[static_cast<std::size_t>(parent)];
    if (!before(timer, p)) break;
    place(pos, p);
    pos = parent;
  }
  place(pos, timer);
}

void Clock::sift_down(int pos) {
  const int n = static_cast<int>(heap_.size());
  const int timer = heap_[static_cast<std::size_t>(pos)];
  for (;;) {
    int child = 2 * pos + 1;
    if (child >= n) break;
    if (child + 1 < n &&
        before(heap_[static_cast<std::size_t>(child) + 1], heap_[static_cast<std::size_t>(child)]))
      ++child;
    const int c = heap_[static_cast<std::size_t>(child)];
    if (!before(c, timer)) break;
    place(pos, c);
    pos = child;
  }
  place(pos, timer);
}

int Clock::step(VirtualMs limit) {
  if (heap_.empty()) return -1;
  const int timer = heap_.front();
  Slot& s = slots_[timer];
  if (s.due > limit) return -1;

  if (s.probe != nullptr && s.probe(s.probe_context)) {
    // The tick and all that follow it until the next other tick would do nothing. Each of them
    // would re-arm the timer with a fresh sequence number, later than every pending one, so the
    // first tick that still matters is the first one at or after the next other tick (or after
    // `limit`), and it comes after every tick already pending for that millisecond.
    VirtualMs horizon = limit + 1;
    const std::size_t n = heap_.size();
    if (n > 1) {
      VirtualMs other = slots_[heap_[1]].due;
      if (n > 2 && slots_[heap_[2]].due < other) other = slots_[heap_[2]].due;
      if (other < horizon) horizon = other;
    }
    const VirtualMs span = horizon - s.due;
    const VirtualMs steps = span <= 0 ? 1 : (span + s.interval - 1) / s.interval;
    skipped_ += static_cast<std::uint64_t>(steps);
    now_ = s.due + (steps - 1) * s.interval;  // the last skipped tick
    arm(timer);
    return 0;
  }

  now_ = s.due;
  arm(timer);  // periodic: armed anew before the handler runs
  ++delivered_;
  deliver_(context_, timer);
  return timer;
}

void Clock::advance_to(VirtualMs t) {
  while (step(t) >= 0) {
  }
  if (t > now_) now_ = t;
}

int Clock::deliver_next(VirtualMs limit) {
  for (;;) {
    const int r = step(limit);
    if (r > 0) return r;
    if (r < 0) {
      if (limit > now_) now_ = limit;
      return 0;
    }
  }
}

}  // namespace bruvik
