// The random generator of one form: uniform draws in [0, 1), re-seeded from the clock before
// every draw the way the window's logic asks.
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>

namespace bruvik {

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : state_(seed) {}

  // Mixes the clock reading into the state. It never replaces the state, so two draws at the
  // same clock reading still differ and a fixed seed gives the same run every time.
  void reseed_from_clock(std::int64_t now_ms) {
    state_ = mix(state_ ^ (static_cast<std::uint64_t>(now_ms) * 0xD1B54A32D192ED03ull));
  }

  // Uniform in [0, 1), held in single precision (24 random bits, so never 1).
  float draw() {
    if (!scripted_.empty()) return next_scripted();
    state_ += 0x9E3779B97F4A7C15ull;
    return static_cast<float>(mix(state_) >> 40) * 0x1.0p-24f;
  }

  std::uint64_t state() const { return state_; }

  // Tests that need given draws queue them here; they are used before any random one.
  void script(std::initializer_list<float> draws) { scripted_.insert(scripted_.end(), draws); }
  std::size_t scripted_left() const { return scripted_.size(); }

  // A seed taken from the wall clock and the system's entropy, for runs without --seed.
  static std::uint64_t fresh_seed();

 private:
  static std::uint64_t mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  float next_scripted() {
    const float r = scripted_.front();
    scripted_.pop_front();
    return r;
  }

  std::uint64_t state_;
  std::deque<float> scripted_;
};

}  // namespace bruvik
