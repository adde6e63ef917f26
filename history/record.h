// The record of one run: every event the run emitted, kept compactly in the order it happened,
// each stamped with the number of ticks delivered when it came. The timeline, the figures of
// what happened on the bus and going back in time all read this one record.
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "model/events.h"

namespace bruvik {

// 24 bytes an event: a run with data amount 10 000 (some 1.6 million events) fits in 40 MB.
struct RecordedEvent {
  VirtualMs time = 0;
  std::uint32_t tick = 0;  // ticks delivered when it was emitted (the tick that emitted it)
  std::int32_t value = 0;  // as in Event, whole numbers; clamped to the 32-bit range
  std::int32_t value2 = 0;
  EventKind kind = EventKind::Attempt;
  std::int8_t method = -1;
  std::int8_t station = -1;
  std::uint8_t timer = 0;
};
static_assert(sizeof(RecordedEvent) == 24);

class RunRecord {
 public:
  // Events beyond this are not kept (about 120 MB); `full()` then says so.
  static constexpr std::size_t kDefaultCapacity = 5'000'000;
  explicit RunRecord(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // Appends one event, emitted when `ticks` ticks had been delivered. Rearm is not kept: it is
  // the clock's business, not the bus's.
  void add(const Event& e, std::uint64_t ticks);

  std::span<const RecordedEvent> events() const { return events_; }
  std::size_t size() const { return events_.size(); }
  bool full() const { return full_; }
  // The events from the first at or after `from` to the last at or before `to`.
  std::span<const RecordedEvent> between(VirtualMs from, VirtualMs to) const;

  // Drops every event emitted after tick `ticks` (the recorded future).
  void truncate_after(std::uint64_t ticks);
  void clear();

  // The last station attempt emitted before tick `ticks`, or null.
  const RecordedEvent* attempt_before(std::uint64_t ticks) const;

 private:
  std::vector<RecordedEvent> events_;
  std::size_t capacity_;
  bool full_ = false;
};

// An event sink that fills a record, stamping each event with its form's delivered ticks.
class Form1;
class RecordSink : public EventSink {
 public:
  RecordSink(RunRecord& record, const Form1& form) : record_(record), form_(form) {}
  void on_event(const Event& e) override;
  // Events of ticks up to this one are already in the record (the form replays a recorded
  // stretch after going back): they are not added twice.
  void skip_through(std::uint64_t ticks) {
    skip_through_ = ticks;
    skipping_ = true;
  }
  void skip_none() { skipping_ = false; }

 private:
  RunRecord& record_;
  const Form1& form_;
  std::uint64_t skip_through_ = 0;
  bool skipping_ = false;
};

}  // namespace bruvik
