// Event traces of a run: every event as a CSV line, and a fingerprint of the events per method.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "model/events.h"

namespace bruvik {

// The event's name in a trace ("attempt", "frame end", ...); empty for Rearm, which is internal.
std::string_view trace_event_name(EventKind kind);

inline constexpr std::string_view kTraceHeader = "virtual_ms,method,station,event\n";

// Writes a trace as CSV, the header first, then one line per event: virtual ms, method code,
// station (or -1), event. Streams, since a long run has millions of events.
class TraceWriter : public EventSink {
 public:
  explicit TraceWriter(std::ostream& out) : out_(out) { out_ << kTraceHeader; }
  void on_event(const Event& e) override;
  std::uint64_t lines() const { return lines_; }

 private:
  std::ostream& out_;
  std::string line_;
  std::uint64_t lines_ = 0;
};

// 64-bit FNV-1a over the time, kind, timer, station and value of every event of each method,
// Rearm included so that the drawn intervals count. A change in behaviour changes the
// fingerprint of the method in which it happened first.
class Fingerprint : public EventSink {
 public:
  static constexpr std::uint64_t kBasis = 0xcbf29ce484222325ull;
  static constexpr std::uint64_t kPrime = 0x100000001b3ull;

  void on_event(const Event& e) override;
  const std::array<std::uint64_t, 5>& per_method() const { return hash_; }
  const std::array<std::uint64_t, 5>& events() const { return count_; }

 private:
  std::array<std::uint64_t, 5> hash_{kBasis, kBasis, kBasis, kBasis, kBasis};
  std::array<std::uint64_t, 5> count_{};
};

// Passes every event on to two sinks.
class SplitSink : public EventSink {
 public:
  SplitSink(EventSink* a, EventSink* b) : a_(a), b_(b) {}
  void on_event(const Event& e) override {
    if (a_ != nullptr) a_->on_event(e);
    if (b_ != nullptr) b_->on_event(e);
  }

 private:
  EventSink* a_;
  EventSink* b_;
};

// FNV-1a of bytes, continuing from `hash`.
std::uint64_t fnv1a(std::uint64_t hash, const void* data, std::size_t size);

}  // namespace bruvik
