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
  // Move the timer between the heap and its place beside it, keeping its pending tick.
  Slot& s = slots_[timer];
  const bool was_armed = s.armed;
  if (was_armed) disarm(timer);
  if (probe != nullptr) {
    if (probed_ != 0 && probed_ != timer) set_idle_probe(probed_, nullptr, nullptr);
    probed_ = timer;
  } else if (probed_ == timer) {
    probed_ = 0;
  }
  probe_ = probe;
  probe_context_ = context;
  if (was_armed) {
    s.armed = true;
    if (timer != probed_) {
      heap_.push_back(Entry{s.due, s.seq, timer});
      s.heap_pos = static_cast<int>(heap_.size()) - 1;
      sift_up(heap_.size() - 1);
    }
  }
}

VirtualMs Clock::due(int timer) const {
  const Slot& s = slots_[timer];
  if (timer == delivering_) return now_ + s.interval;
  return s.armed ? s.due : -1;
}

VirtualMs Clock::next_due() const {
  VirtualMs best = -1;
  if (!heap_.empty()) best = heap_.front().due;
  if (probed_ != 0 && slots_[probed_].armed && (best < 0 || slots_[probed_].due < best)) {
    best = slots_[probed_].due;
  }
  return best;
}

void Clock::arm(int timer) {
  Slot& s = slots_[timer];
  if (timer == delivering_) delivering_ = 0;  // the handler re-armed it itself
  if (s.interval <= 0) {
    disarm(timer);
    return;
  }
  s.due = now_ + s.interval;
  s.seq = next_seq_++;
  s.armed = true;
  if (timer == probed_) return;
  const Entry e{s.due, s.seq, timer};
  if (s.heap_pos < 0) {
    heap_.push_back(e);
    s.heap_pos = static_cast<int>(heap_.size()) - 1;
    sift_up(heap_.size() - 1);
    return;
  }
  // A new arming is always later than the old one: the entry only moves down.
  const auto pos = static_cast<std::size_t>(s.heap_pos);
  heap_[pos] = e;
  sift_down(pos);
}

void Clock::disarm(int timer) {
  Slot& s = slots_[timer];
  if (timer == delivering_) delivering_ = 0;
  s.armed = false;
  const int pos = s.heap_pos;
  if (pos < 0) return;
  s.heap_pos = -1;
  const Entry last = heap_.back();
  heap_.pop_back();
  if (last.timer == timer) return;
  const auto p = static_cast<std::size_t>(pos);
  place(p, last);
  sift_up(p);
  sift_down(static_cast<std::size_t>(slots_[last.timer].heap_pos));
}

void Clock::sift_up(std::size_t pos) {
  const Entry e = heap_[pos];
  while (pos > 0) {
    const std::size_t parent = (pos - 1) / 2;
    if (!before(e, heap_[parent])) break;
    place(pos, heap_[parent]);
    pos = parent;
  }
  place(pos, e);
}

void Clock::sift_down(std::size_t pos) {
  const std::size_t n = heap_.size();
  const Entry e = heap_[pos];
  for (;;) {
    std::size_t child = 2 * pos + 1;
    if (child >= n) break;
    if (child + 1 < n && before(heap_[child + 1], heap_[child])) ++child;
    if (!before(heap_[child], e)) break;
    place(pos, heap_[child]);
    pos = child;
  }
  place(pos, e);
}

void Clock::finish_delivery() {
  const int timer = delivering_;
  if (timer == 0) return;
  delivering_ = 0;
  // Still the earliest entry: everything armed meanwhile is due after now.
  Slot& s = slots_[timer];
  s.due = now_ + s.interval;
  s.seq = delivering_seq_;
  heap_[static_cast<std::size_t>(s.heap_pos)].due = s.due;
  heap_[static_cast<std::size_t>(s.heap_pos)].seq = s.seq;
  sift_down(static_cast<std::size_t>(s.heap_pos));
}

int Clock::step(VirtualMs limit) {
  const bool have_heap = !heap_.empty();
  const Slot* probed = probed_ != 0 && slots_[probed_].armed ? &slots_[probed_] : nullptr;
  const bool probed_first =
      probed != nullptr && (!have_heap || probed->due < heap_.front().due ||
                            (probed->due == heap_.front().due && probed->seq < heap_.front().seq));

  if (probed_first) {
    Slot& s = slots_[probed_];
    if (s.due > limit) return -1;
    if (probe_(probe_context_)) {
      // This tick and all that follow it until the next other tick would do nothing. Each of
      // them would re-arm the timer with a fresh sequence number, later than every pending
      // one, so the first tick that still matters is the first one at or after the next other
      // tick (or after `limit`), and it comes after every tick already pending then.
      VirtualMs horizon = limit + 1;
      if (have_heap && heap_.front().due < horizon) horizon = heap_.front().due;
      const VirtualMs span = horizon - s.due;
      const VirtualMs steps = span <= 0 ? 1 : (span + s.interval - 1) / s.interval;
      skipped_ += static_cast<std::uint64_t>(steps);
      now_ = s.due + (steps - 1) * s.interval;  // the last skipped tick
      s.due = now_ + s.interval;
      s.seq = next_seq_++;
      // The next other tick, if it is due by `limit`, now comes first: deliver it at once.
      if (!have_heap || heap_.front().due > limit) return 0;
    } else {
      now_ = s.due;
      const int timer = probed_;
      arm(timer);  // periodic: armed anew before the handler runs
      ++delivered_;
      deliver_(context_, timer);
      return timer;
    }
  }

  if (!have_heap) return -1;
  const Entry top = heap_.front();
  if (top.due > limit) return -1;
  now_ = top.due;
  // Periodic: armed anew at delivery, before the handler runs. The sequence number is taken
  // now; the heap is put in order after the handler, unless the handler re-armed or stopped it.
  delivering_ = top.timer;
  delivering_seq_ = next_seq_++;
  ++delivered_;
  struct Finish {
    Clock& clock;
    ~Finish() { clock.finish_delivery(); }
  } finish{*this};
  deliver_(context_, top.timer);
  return top.timer;
}

void Clock::advance_to(VirtualMs t) {
  while (step(t) >= 0) {
  }
  if (t > now_) now_ = t;
}

bool Clock::advance_until(VirtualMs t, const bool* stop) {
  while (!*stop) {
    if (step(t) < 0) {
      if (t > now_) now_ = t;
      return false;
    }
  }
  return true;
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
