// The record of one run: the latest events the run emitted, kept compactly in the order they
// happened, each stamped with the number of ticks delivered when it came. The timeline, the
// figures of what happened on the bus and going back in time all read this one record.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "model/events.h"

namespace bruvik {

// 24 bytes an event: a run with data amount 10 000 (some 1.6 million events) fits in 40 MB.
struct RecordedEvent {
  VirtualMs time = 0;
  std::uint32_t tick = 0;  // ticks delivered when it was emitted, counted from the record's base
  std::int32_t value = 0;  // as in Event, whole numbers; clamped to the 32-bit range
  std::int32_t value2 = 0;
  EventKind kind = EventKind::Attempt;
  std::int8_t method = -1;
  std::int8_t station = -1;
  std::uint8_t timer = 0;
};
static_assert(sizeof(RecordedEvent) == 24);

class Form1;

// Whether the run has begun: an action started pure ALOHA's stations. Its moment is when the
// first method starts, for the window, the pictures and the terminal alike.
bool run_begun(const Form1& form);

class RunRecord {
 public:
  // When this many events are held, the older half goes (about 120 MB at most): a run of any
  // length keeps its latest stretch, and `complete_from()` says where that begins.
  static constexpr std::size_t kDefaultCapacity = 5'000'000;
  explicit RunRecord(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // Appends one event, emitted when `ticks` ticks had been delivered. Rearm is not kept: it is
  // the clock's business, not the bus's.
  void add(const Event& e, std::uint64_t ticks);

  std::span<const RecordedEvent> events() const { return events_; }
  std::size_t size() const { return events_.size(); }
  std::size_t capacity() const { return capacity_; }
  // The tick count of an event held here.
  std::uint64_t tick_of(const RecordedEvent& e) const { return base_tick_ + e.tick; }
  // Every event from this time on is held; the older ones were let go (0: none was).
  VirtualMs complete_from() const { return complete_from_; }
  // The events from the first at or after `from` to the last at or before `to`.
  std::span<const RecordedEvent> between(VirtualMs from, VirtualMs to) const;

  // When the run began (see run_begun) and when each method ended, kept even when the events
  // around them are let go.
  const std::optional<VirtualMs>& started() const { return started_; }
  const std::array<std::optional<VirtualMs>, 5>& method_ends() const { return ends_; }
  void note_start(VirtualMs time, std::uint64_t ticks);

  // Drops every event emitted after tick `ticks` (the recorded future).
  void truncate_after(std::uint64_t ticks);
  void clear();

  // The last station attempt emitted before tick `ticks`, or null (also when the record no
  // longer holds the stretch before it).
  const RecordedEvent* attempt_before(std::uint64_t ticks) const;

 private:
  // Lets go of the older events, at least up to index `keep_from`, at a change of millisecond.
  void let_go(std::size_t keep_from);

  std::vector<RecordedEvent> events_;
  std::size_t capacity_;
  std::uint64_t base_tick_ = 0;
  VirtualMs complete_from_ = 0;
  std::optional<VirtualMs> started_;
  std::uint64_t started_tick_ = 0;
  std::array<std::optional<VirtualMs>, 5> ends_{};
  std::array<std::uint64_t, 5> end_ticks_{};
};

// An event sink that fills a record, stamping each event with its form's delivered ticks.
class RecordSink : public EventSink {
 public:
  RecordSink(RunRecord& record, const Form1& form) : record_(record), form_(form) {}
  void on_event(const Event& e) override;
  // After each action on the form: notes the run's start when this action began it.
  void action_done();
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
