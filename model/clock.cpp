#include "model/clock.h"

#include <bit>
#include <cstdint>
#include <stdexcept>

#include "model/runtime_error.h"

namespace bruvik {

Clock::Clock(int count, Deliver deliver, void* context)
    : slots_(static_cast<std::size_t>(count) + 1),
      head_(kWheel, 0),
      occupied_(kWords, 0),
      deliver_(deliver),
      context_(context) {
  if (count < 0 || count > INT16_MAX) throw std::invalid_argument("timer count out of range");
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
  // Move the timer between the wheel and its place beside it, keeping its pending tick.
  if (probe != nullptr && probed_ != 0 && probed_ != timer) {
    set_idle_probe(probed_, nullptr, nullptr);
  }
  Slot& s = slots_[timer];
  const bool pending = s.armed && timer != delivering_;
  if (pending) unlink(timer);
  if (probe != nullptr) {
    probed_ = timer;
  } else if (probed_ == timer) {
    probed_ = 0;
  }
  probe_ = probe;
  probe_context_ = context;
  if (!pending) return;
  if (timer == probed_) {
    s.place = Place::Beside;
  } else {
    link(timer);
  }
}

void Clock::copy_schedule_from(const Clock& o) {
  if (o.slots_.size() != slots_.size() || o.probed_ != probed_ || o.delivering_ != 0 ||
      delivering_ != 0) {
    throw std::logic_error("a clock's schedule can only be copied between alike idle clocks");
  }
  slots_ = o.slots_;
  head_ = o.head_;
  occupied_ = o.occupied_;
  in_wheel_ = o.in_wheel_;
  far_ = o.far_;
  now_ = o.now_;
  next_seq_ = o.next_seq_;
  delivered_ = o.delivered_;
  skipped_ = o.skipped_;
}

VirtualMs Clock::due(int timer) const {
  const Slot& s = slots_[timer];
  if (timer == delivering_) return now_ + s.interval;
  return s.armed ? s.due : -1;
}

VirtualMs Clock::next_due() const {
  VirtualMs best = -1;
  if (const int t = front(); t != 0) best = slots_[t].due;
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
  unlink(timer);
  s.due = now_ + s.interval;
  s.seq = next_seq_++;
  s.armed = true;
  if (timer == probed_) {
    s.place = Place::Beside;
    return;
  }
  link(timer);
}

void Clock::disarm(int timer) {
  if (timer == delivering_) delivering_ = 0;
  slots_[timer].armed = false;
  unlink(timer);
}

void Clock::link(int timer) {
  Slot& s = slots_[timer];
  if (s.due - now_ >= static_cast<VirtualMs>(kWheel)) {
    far_.push_back(timer);
    s.place = Place::Far;
    return;
  }
  const std::size_t b = static_cast<std::size_t>(s.due) & kMask;
  s.place = Place::Wheel;
  ++in_wheel_;
  const int head = head_[b];
  if (head == 0) {
    head_[b] = static_cast<std::int16_t>(timer);
    s.prev = s.next = timer;
    occupied_[b >> 6] |= std::uint64_t{1} << (b & 63);
    return;
  }
  // A fresh arming has the highest sequence number and goes last; only a held-back re-arm
  // (older number) or a tick moved back from beside the wheel may have to go further forward.
  int after = slots_[head].prev;
  while (slots_[after].seq > s.seq && after != head) after = slots_[after].prev;
  const bool first = slots_[after].seq > s.seq;  // earlier than the head itself
  if (first) after = slots_[head].prev;
  const int next = slots_[after].next;
  s.prev = after;
  s.next = next;
  slots_[after].next = timer;
  slots_[next].prev = timer;
  if (first) head_[b] = static_cast<std::int16_t>(timer);
}

void Clock::unlink(int timer) {
  Slot& s = slots_[timer];
  if (s.place == Place::Wheel) {
    const std::size_t b = static_cast<std::size_t>(s.due) & kMask;
    if (s.next == timer) {
      head_[b] = 0;
      occupied_[b >> 6] &= ~(std::uint64_t{1} << (b & 63));
    } else {
      slots_[s.prev].next = s.next;
      slots_[s.next].prev = s.prev;
      if (head_[b] == timer) head_[b] = static_cast<std::int16_t>(s.next);
    }
    --in_wheel_;
  } else if (s.place == Place::Far) {
    for (std::size_t i = 0; i < far_.size(); ++i) {
      if (far_[i] == timer) {
        far_[i] = far_.back();
        far_.pop_back();
        break;
      }
    }
  }
  s.place = Place::None;
}

int Clock::wheel_front() const {
  if (in_wheel_ == 0) return 0;
  // Every tick in the wheel is due in [now, now + kWheel), so the first occupied bucket from
  // now on, going round once, holds the earliest; its head was armed first.
  const std::size_t b = static_cast<std::size_t>(now_) & kMask;
  std::size_t word = b >> 6;
  std::uint64_t bits = occupied_[word] & (~std::uint64_t{0} << (b & 63));
  for (std::size_t i = 0; i <= kWords; ++i) {
    if (bits != 0) return head_[(word << 6) | static_cast<std::size_t>(std::countr_zero(bits))];
    word = (word + 1) & (kWords - 1);
    bits = occupied_[word];
  }
  return 0;
}

int Clock::front() const {
  int best = wheel_front();
  for (const int t : far_) {
    if (best == 0 || before(slots_[t], slots_[best])) best = t;
  }
  return best;
}

void Clock::finish_delivery() {
  const int timer = delivering_;
  if (timer == 0) return;
  delivering_ = 0;
  Slot& s = slots_[timer];
  s.due = now_ + s.interval;
  s.seq = delivering_seq_;
  if (timer == probed_) {
    s.place = Place::Beside;
    return;
  }
  link(timer);
}

int Clock::step(VirtualMs limit) {
  const int top = front();
  const Slot* probed = probed_ != 0 && slots_[probed_].armed ? &slots_[probed_] : nullptr;
  const bool probed_first = probed != nullptr && (top == 0 || before(*probed, slots_[top]));

  if (probed_first) {
    Slot& s = slots_[probed_];
    if (s.due > limit) return -1;
    if (probe_(probe_context_)) {
      // This tick and all that follow it until the next other tick would do nothing. Each of
      // them would re-arm the timer with a fresh sequence number, later than every pending
      // one, so the first tick that still matters is the first one at or after the next other
      // tick (or after `limit`), and it comes after every tick already pending then.
      VirtualMs horizon = limit + 1;
      if (top != 0 && slots_[top].due < horizon) horizon = slots_[top].due;
      const VirtualMs span = horizon - s.due;
      const VirtualMs steps = span <= 0 ? 1 : (span + s.interval - 1) / s.interval;
      skipped_ += static_cast<std::uint64_t>(steps);
      now_ = s.due + (steps - 1) * s.interval;  // the last skipped tick
      s.due = now_ + s.interval;
      s.seq = next_seq_++;
      // The next other tick, if it is due by `limit`, now comes first: deliver it below.
      if (top == 0 || slots_[top].due > limit) return 0;
      now_ = slots_[top].due;
    } else {
      now_ = s.due;
      const int timer = probed_;
      arm(timer);  // periodic: armed anew before the handler runs
      ++delivered_;
      deliver_(context_, timer);
      return timer;
    }
  } else {
    if (top == 0) return -1;
    if (slots_[top].due > limit) return -1;
    now_ = slots_[top].due;
  }
  // Periodic: armed anew at delivery, before the handler runs. The sequence number is taken
  // now; the tick is put back after the handler, unless the handler re-armed or stopped it.
  unlink(top);
  delivering_ = top;
  delivering_seq_ = next_seq_++;
  ++delivered_;
  struct Finish {
    Clock& clock;
    ~Finish() { clock.finish_delivery(); }
  } finish{*this};
  deliver_(context_, top);
  return top;
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
