#include "model/clock.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "model/runtime_error.h"

namespace bruvik {
namespace {

std::atomic<ClockMode> default_mode{ClockMode::Fast};

// Restores the tick limit when a call that set it returns.
struct TickLimit {
  std::uint64_t& limit;
  std::uint64_t saved;
  TickLimit(std::uint64_t& l, std::uint64_t to) : limit(l), saved(l) { l = to; }
  ~TickLimit() { limit = saved; }
  TickLimit(const TickLimit&) = delete;
  TickLimit& operator=(const TickLimit&) = delete;
};

}  // namespace

void set_default_clock_mode(ClockMode mode) {
  default_mode.store(mode);
}

ClockMode default_clock_mode() {
  return default_mode.load();
}

std::optional<ClockMode> clock_mode_from(const char* value, std::string* error) {
  if (value == nullptr || *value == '\0') return ClockMode::Fast;
  if (std::strcmp(value, "plain") == 0) return ClockMode::Plain;
  if (error != nullptr) {
    *error = std::string(
                 "BRUVIK_CLOCK may only be \"plain\" (every shortcut of the clock off) or "
                 "unset, not \"") +
             value + "\".";
  }
  return std::nullopt;
}

Clock::Clock(int count, Deliver deliver, void* context)
    : mode_(default_clock_mode()),
      slots_(static_cast<std::size_t>(count) + 1),
      probes_(static_cast<std::size_t>(count) + 1),
      head_(new std::int16_t[kWheel]),
      occupied_(kWords, 0),
      deliver_(deliver),
      context_(context) {
  if (count < 0 || count > INT16_MAX) throw std::invalid_argument("timer count out of range");
  lane_.assign(std::bit_ceil(static_cast<std::size_t>(count) + 1), 0);
  // Plain mode keeps every tick in its own store.
  for (Slot& s : slots_) s.kept_far = mode_ == ClockMode::Plain;
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

void Clock::set_idle_probe(int timer, IdleProbe probe, const void* context, Deliver idle_tick,
                           bool any_interval) {
  // Move the timer between the wheel and the lane, keeping its pending tick.
  Slot& s = slots_[timer];
  const bool pending = s.armed && timer != delivering_;
  if (pending) unlink(timer);
  probes_[timer] = {probe, context, probe != nullptr ? idle_tick : nullptr};
  s.lane_probe = probe != nullptr && !any_interval;
  s.beside = probe != nullptr && any_interval;
  s.lane = s.lane_probe && mode_ == ClockMode::Fast;
  s.kept_far = s.beside || mode_ == ClockMode::Plain;
  if (pending) place(timer);
}

void Clock::copy_schedule_from(const Clock& o) {
  bool alike = o.slots_.size() == slots_.size() && o.mode_ == mode_ && o.delivering_ == 0 &&
               delivering_ == 0;
  for (std::size_t t = 0; alike && t < slots_.size(); ++t) {
    alike =
        slots_[t].lane_probe == o.slots_[t].lane_probe && slots_[t].beside == o.slots_[t].beside;
  }
  if (!alike) {
    throw std::logic_error("a clock's schedule can only be copied between alike idle clocks");
  }
  slots_ = o.slots_;
  plain_ = o.plain_;
  // Only the occupied buckets' heads mean anything.
  for (std::size_t w = 0; w < kWords; ++w) {
    for (std::uint64_t bits = o.occupied_[w]; bits != 0; bits &= bits - 1) {
      const std::size_t b = (w << 6) | static_cast<std::size_t>(std::countr_zero(bits));
      head_[b] = o.head_[b];
    }
  }
  occupied_ = o.occupied_;
  in_wheel_ = o.in_wheel_;
  wheel_first_ = -1;
  far_ = o.far_;
  far_front_ = o.far_front_;
  lane_ = o.lane_;
  lane_head_ = o.lane_head_;
  lane_size_ = o.lane_size_;
  // The copied answers belong to the other form: every probe is asked again.
  round_ = std::max(round_, o.round_) + 1;
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
  if (mode_ == ClockMode::Plain) return plain_.empty() ? -1 : slots_[plain_.front()].due;
  VirtualMs best = -1;
  if (const int t = front(); t != 0) best = slots_[t].due;
  if (const int l = lane_front(); l != 0 && (best < 0 || slots_[l].due < best)) {
    best = slots_[l].due;
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
  if (in_lane(timer)) {
    // Due a millisecond from now with the newest number: after everything in the lane.
    assert(lane_size_ == 0 ||
           !before(s, slots_[lane_[(lane_head_ + lane_size_ - 1) & (lane_.size() - 1)]]));
    lane_[(lane_head_ + lane_size_) & (lane_.size() - 1)] = timer;
    ++lane_size_;
    s.place = Place::Lane;
    return;
  }
  link(timer);
}

void Clock::disarm(int timer) {
  if (timer == delivering_) delivering_ = 0;
  slots_[timer].armed = false;
  unlink(timer);
}

void Clock::place(int timer) {
  if (in_lane(timer)) {
    lane_insert(timer);
  } else {
    link(timer);
  }
}

void Clock::plain_insert(int timer) {
  plain_.insert(timer, [this](int a, int b) { return before(slots_[a], slots_[b]); });
  slots_[timer].place = Place::Plain;
}

void Clock::lane_insert(int timer) {
  const std::size_t mask = lane_.size() - 1;
  // Every lane tick is due now or a millisecond later.
  assert(slots_[timer].due >= now_ && slots_[timer].due <= now_ + 1);
  std::size_t k = lane_size_;
  while (k > 0 && before(slots_[timer], slots_[lane_[(lane_head_ + k - 1) & mask]])) {
    lane_[(lane_head_ + k) & mask] = lane_[(lane_head_ + k - 1) & mask];
    --k;
  }
  lane_[(lane_head_ + k) & mask] = timer;
  ++lane_size_;
  slots_[timer].place = Place::Lane;
}

void Clock::lane_remove(int timer) {
  const std::size_t mask = lane_.size() - 1;
  if (lane_[lane_head_] == timer) {
    lane_head_ = (lane_head_ + 1) & mask;
  } else {
    std::size_t k = 1;
    while (lane_[(lane_head_ + k) & mask] != timer) ++k;
    for (; k + 1 < lane_size_; ++k) {
      lane_[(lane_head_ + k) & mask] = lane_[(lane_head_ + k + 1) & mask];
    }
  }
  --lane_size_;
}

[[gnu::always_inline]] inline void Clock::link(int timer) {
  Slot& s = slots_[timer];
  assert(s.due >= now_);
  if (s.due - now_ >= static_cast<VirtualMs>(kWheel) || s.kept_far) {
    if (mode_ == ClockMode::Plain) {
      plain_insert(timer);
      return;
    }
    far_.push_back(timer);
    if (far_front_ == 0 || before(s, slots_[far_front_])) far_front_ = timer;
    s.place = Place::Far;
    return;
  }
  const std::size_t b = static_cast<std::size_t>(s.due) & kMask;
  s.place = Place::Wheel;
  ++in_wheel_;
  if ((occupied_[b >> 6] & (std::uint64_t{1} << (b & 63))) == 0) {
    head_[b] = static_cast<std::int16_t>(timer);
    s.prev = s.next = timer;
    occupied_[b >> 6] |= std::uint64_t{1} << (b & 63);
    note_linked(timer);
    return;
  }
  // A fresh arming has the highest sequence number and goes last; only a held-back re-arm
  // (older number) or a tick moved back from beside the wheel may have to go further forward.
  const int head = head_[b];
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
  note_linked(timer);
}

void Clock::note_linked(int timer) {
  if (wheel_first_ > 0 && !before(slots_[timer], slots_[wheel_first_])) return;
  if (wheel_first_ >= 0) wheel_first_ = timer;
}

[[gnu::always_inline]] inline void Clock::unlink(int timer) {
  Slot& s = slots_[timer];
  if (s.place == Place::Wheel) {
    const std::size_t b = static_cast<std::size_t>(s.due) & kMask;
    if (s.next == timer) {
      occupied_[b >> 6] &= ~(std::uint64_t{1} << (b & 63));
    } else {
      slots_[s.prev].next = s.next;
      slots_[s.next].prev = s.prev;
      if (head_[b] == timer) head_[b] = static_cast<std::int16_t>(s.next);
    }
    --in_wheel_;
    if (timer == wheel_first_) wheel_first_ = -1;
  } else if (s.place == Place::Lane) {
    lane_remove(timer);
  } else if (s.place == Place::Far) {
    for (std::size_t i = 0; i < far_.size(); ++i) {
      if (far_[i] == timer) {
        far_[i] = far_.back();
        far_.pop_back();
        break;
      }
    }
    if (far_front_ == timer) find_far_front();
  } else if (s.place == Place::Plain) {
    plain_.remove(timer);
  }
  s.place = Place::None;
}

void Clock::find_far_front() {
  far_front_ = 0;
  for (const int t : far_) {
    if (far_front_ == 0 || before(slots_[t], slots_[far_front_])) far_front_ = t;
  }
}

int Clock::wheel_front() const {
  if (wheel_first_ < 0) wheel_first_ = find_wheel_front();
  return wheel_first_;
}

int Clock::find_wheel_front() const {
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

[[gnu::always_inline]] inline int Clock::front() const {
  const int best = wheel_front();
  if (far_front_ != 0 && (best == 0 || before(slots_[far_front_], slots_[best]))) return far_front_;
  return best;
}

void Clock::finish_delivery() {
  const int timer = delivering_;
  if (timer == 0) return;
  delivering_ = 0;
  Slot& s = slots_[timer];
  s.due = now_ + s.interval;
  s.seq = delivering_seq_;
  place(timer);
}

void Clock::deliver(int timer) {
  // Periodic: armed anew at delivery, before the handler runs. The sequence number is taken
  // now; the tick is put back after the handler, unless the handler re-armed or stopped it.
  now_ = slots_[timer].due;
  unlink(timer);
  delivering_ = timer;
  delivering_seq_ = next_seq_++;
  ++delivered_;
  struct Finish {
    Clock& clock;
    ~Finish() {
      ++clock.round_;  // the handler may have changed what the probes read
      clock.finish_delivery();
    }
  } finish{*this};
  deliver_(context_, timer);
}

bool Clock::idle(int timer) {
  Slot& s = slots_[timer];
  if (s.asked != round_) {
    s.asked = round_;
    s.idle = probes_[timer].probe(probes_[timer].context);
  }
  return s.idle;
}

template <bool kBounded>
[[gnu::noinline]] int Clock::run_lane(VirtualMs limit, int top, bool one, const bool* stop) {
  // Nothing is delivered meanwhile, so the wheel's front stays and every probe keeps its answer.
  const Slot* wheel = top != 0 ? &slots_[top] : nullptr;
  const std::size_t mask = lane_.size() - 1;
  for (;;) {
    const int x = lane_[lane_head_];
    Slot& s = slots_[x];
    if (slots_[lane_[(lane_head_ + lane_size_ - 1) & mask]].due == s.due &&
        (wheel == nullptr || wheel->due > s.due)) {
      // The whole lane is due in this millisecond, before the wheel's front.
      const int r = run_lane_ms(limit, wheel, one, stop);
      if (r >= 0) return r;
    }
    const Deliver tick = probes_[x].tick;
    // One tick. Armed anew: a millisecond later with the newest number, so last in the lane.
    now_ = s.due;
    s.due = now_ + 1;
    s.seq = next_seq_++;
    lane_[(lane_head_ + lane_size_) & mask] = x;
    lane_head_ = (lane_head_ + 1) & mask;
    if (tick != nullptr) {
      ++delivered_;
      tick(context_, x);
      if (one || (stop != nullptr && *stop)) return x;
    } else {
      ++skipped_;
    }
    const int y = lane_[lane_head_];
    const Slot& n = slots_[y];
    if (n.due > limit || (wheel != nullptr && !before(n, *wheel)) || !idle(y) ||
        (kBounded && ticks() >= tick_limit_)) {
      return 0;
    }
  }
}

int Clock::run_lane_ms(VirtualMs limit, const Slot* wheel, bool one, const bool* stop) {
  // Every millisecond up to the wheel's front (or past `limit`) runs the lane once round in the
  // same order, each tick re-arming its timer last; so after whole rounds the order is as it
  // was, the timers due where the rounds stopped, with numbers newer than any other tick's.
  constexpr std::size_t kMost = 64;
  const std::size_t n = lane_size_;
  if (n == 0 || n > kMost) return -1;
  const std::size_t mask = lane_.size() - 1;
  std::array<int, kMost> order;
  std::array<Deliver, kMost> ticks;
  std::size_t counted = 0;
  int lone = 0;  // the counted one, when there is one
  for (std::size_t k = 0; k < n; ++k) {
    const int t = lane_[(lane_head_ + k) & mask];
    if (!idle(t)) return -1;
    order[k] = t;
    ticks[k] = probes_[t].tick;
    if (ticks[k] != nullptr) {
      ++counted;
      lone = t;
    }
  }
  if (counted != 0 && one) return -1;  // one counted tick at a time
  const VirtualMs from = slots_[order[0]].due;
  VirtualMs end = limit + 1;
  if (wheel != nullptr && wheel->due < end) end = wheel->due;
  auto rounds = static_cast<std::uint64_t>(end - from);
  if (tick_limit_ != kNoTickLimit && rounds > room() / n) {
    // Whole rounds up to the tick limit; the rest one at a time.
    rounds = room() / n;
    if (rounds == 0) return -1;
    end = from + static_cast<VirtualMs>(rounds);
  }
  std::size_t head = 0;  // where the lane starts when a stop comes within a round
  int last = 0;
  now_ = end - 1;
  if (counted == 0) {
    skipped_ += n * rounds;
  } else if (counted == 1 && idle_rounds_ != nullptr &&
             idle_rounds_(context_, lone, from, rounds)) {
    delivered_ += rounds;
    skipped_ += (n - 1) * rounds;
    last = lone;
  } else {
    // Tick by tick, so that every tick sees the count and the time of its own moment.
    bool stopped = false;
    for (std::uint64_t r = 0; r < rounds && !stopped; ++r) {
      now_ = from + static_cast<VirtualMs>(r);
      for (std::size_t k = 0; k < n; ++k) {
        if (ticks[k] == nullptr) {
          ++skipped_;
          continue;
        }
        ++delivered_;
        ticks[k](context_, order[k]);
        last = order[k];
        if (stop != nullptr && *stop) {
          // The rest of this round is still due now.
          head = k + 1;
          stopped = true;
          break;
        }
      }
    }
    if (stopped) {
      for (std::size_t j = head; j < n; ++j) slots_[order[j]].due = now_;
      end = now_ + 1;
    }
  }
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t j = (head + k) % n;
    Slot& s = slots_[order[j]];
    if (head == 0 || j < head) s.due = end;
    s.seq = next_seq_++;
    lane_[(lane_head_ + k) & mask] = order[j];
  }
  return last;
}

template <bool kBounded>
[[gnu::always_inline]] inline void Clock::skip_lone(VirtualMs limit, int top) {
  // A lone timer whose ticks do nothing: each of them would re-arm it with a fresh number, later
  // than every pending one, so the first tick that still matters is the first one at or after
  // the next other tick (or after `limit`), and it comes after every tick pending then.
  Slot& s = slots_[lane_[lane_head_]];
  VirtualMs horizon = limit + 1;
  if (top != 0 && slots_[top].due < horizon) horizon = slots_[top].due;
  VirtualMs steps = std::max<VirtualMs>(1, horizon - s.due);
  if (kBounded) {
    steps = static_cast<VirtualMs>(std::min(static_cast<std::uint64_t>(steps), room()));
  }
  skipped_ += static_cast<std::uint64_t>(steps);
  now_ = s.due + steps - 1;  // the last skipped tick
  s.due = now_ + 1;
  s.seq = next_seq_++;
}

int Clock::plain_step(VirtualMs limit) {
  if (plain_.empty() || ticks() >= tick_limit_) return -1;
  const int t = plain_.front();
  if (slots_[t].due > limit) return -1;
  if (skippable(t) && probes_[t].probe(probes_[t].context)) {
    // What the shortcuts would have skipped, counted apart for ticks_v1() (deliver counts it).
    ++skipped_;
    --delivered_;
  }
  deliver(t);
  return t;
}

template <bool kBounded>
[[gnu::always_inline]] inline int Clock::step(VirtualMs limit, bool one, const bool* stop) {
  if (kBounded && ticks() >= tick_limit_) return -1;
  const int top = front();
  const int lane = lane_front();
  if (lane != 0 && (top == 0 || before(slots_[lane], slots_[top]))) {
    if (slots_[lane].due > limit) return -1;
    if (!idle(lane)) {
      deliver(lane);
      return lane;
    }
    if (lane_size_ == 1 && probes_[lane].tick == nullptr) {
      skip_lone<kBounded>(limit, top);
      if (top == 0 || slots_[top].due > limit || (kBounded && ticks() >= tick_limit_)) return 0;
    } else {
      const int r = run_lane<kBounded>(limit, top, one, stop);
      if (r != 0 || top == 0 || slots_[top].due > limit || (kBounded && ticks() >= tick_limit_)) {
        return r;
      }
      // The wheel's front may come next: then it is delivered at once.
      const int next = lane_front();
      if (next != 0 && before(slots_[next], slots_[top])) return 0;
    }
  } else if (top == 0 || slots_[top].due > limit) {
    return -1;
  }
  Slot& s = slots_[top];
  if (s.beside && idle(top)) {
    // Beside the wheel, so re-armed in place.
    now_ = s.due;
    s.due = now_ + s.interval;
    s.seq = next_seq_++;
    if (far_.size() > 1) find_far_front();  // alone, it stays the earliest
    ++delivered_;
    if (probes_[top].tick != nullptr) probes_[top].tick(context_, top);
    return top;
  }
  deliver(top);
  return top;
}

void Clock::advance_to(VirtualMs t) {
  ++round_;
  if (mode_ == ClockMode::Plain) {
    while (plain_step(t) >= 0) {
    }
  } else {
    while (step<false>(t, false, nullptr) >= 0) {
    }
  }
  if (t > now_) now_ = t;
}

bool Clock::advance_until(VirtualMs t, const bool* stop) {
  ++round_;
  while (!*stop) {
    const int r = mode_ == ClockMode::Plain ? plain_step(t) : step<false>(t, false, stop);
    if (r < 0) {
      if (t > now_) now_ = t;
      return false;
    }
  }
  return true;
}

void Clock::advance_ticks(VirtualMs t, std::uint64_t count) {
  ++round_;
  const TickLimit bound(tick_limit_, count);
  if (mode_ == ClockMode::Plain) {
    while (plain_step(t) >= 0) {
    }
  } else {
    while (step<true>(t, false, nullptr) >= 0) {
    }
  }
  if (ticks() < count && t > now_) now_ = t;
}

int Clock::deliver_next(VirtualMs limit, std::uint64_t max_ticks) {
  ++round_;
  const TickLimit bound(tick_limit_, max_ticks);
  for (;;) {
    const std::uint64_t delivered = delivered_;
    const int r = mode_ == ClockMode::Plain ? plain_step(limit) : step<true>(limit, true, nullptr);
    // In either mode, a tick that the shortcuts skip is passed over on the way.
    if (r > 0 && delivered_ != delivered) return r;
    if (r < 0) {
      if (ticks() < max_ticks && limit > now_) now_ = limit;
      return 0;
    }
  }
}

}  // namespace bruvik
