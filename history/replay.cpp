#include "history/replay.h"

#include <algorithm>

#include "controls/operator_controls.h"
#include "model/form.h"

namespace bruvik {
namespace {

std::string at(VirtualMs time) {
  return std::to_string(time) + " ms";
}

std::uint64_t count_of(const Clock& clock, TickCount count) {
  return count == TickCount::Rule ? clock.ticks() : clock.ticks_v1();
}

// Brings the form to the moment "right after tick `ticks`, at `time`" (or, without ticks,
// after every tick due by `time`).
void reach(Form1& form, std::optional<std::uint64_t> ticks, VirtualMs time, const char* what,
           TickCount count) {
  Clock& clock = form.clock();
  if (time < clock.now()) {
    throw ReplayError(std::string(what) + " at " + at(time) + " lies before " + at(clock.now()) +
                      ", where the run already is");
  }
  if (!ticks) {
    clock.advance_to(time);
    return;
  }
  if (count_of(clock, count) > *ticks) {
    throw ReplayError(std::string(what) + " comes after tick " + std::to_string(*ticks) +
                      ", but the run has delivered " + std::to_string(count_of(clock, count)) +
                      " ticks by then");
  }
  if (count == TickCount::Rule) {
    clock.advance_ticks(time, *ticks);
  } else {
    // The first version's count leaves skipped ticks out: right after the tick that made it,
    // as its clock stopped, one counted tick at a time.
    while (clock.ticks_v1() < *ticks && clock.deliver_next(time) != 0) {
    }
  }
  if (count_of(clock, count) < *ticks) {
    throw ReplayError(std::string(what) + " comes after tick " + std::to_string(*ticks) +
                      ", but the run delivers only " + std::to_string(count_of(clock, count)) +
                      " ticks by " + at(time));
  }
  // No tick falls between the last one and the moment (else the ticks would differ): the
  // clock only moves on.
  if (clock.now() < time) {
    clock.advance_to(time);
    if (count_of(clock, count) != *ticks) {
      throw ReplayError(std::string(what) + " at " + at(time) + " comes after tick " +
                        std::to_string(*ticks) + ", but more ticks fall due before it");
    }
  }
}

}  // namespace

StartSettings start_settings(const Options& o, std::uint64_t seed) {
  return {.seed = seed,
          .mtu = o.mtu,
          .rate = o.rate,
          .frame_length = o.frame_length,
          .data_amount = o.data_amount};
}

std::string prepare(Form1& form, const StartSettings& s) {
  const DataAmountEdit edit = prepare_form(form, s.mtu, s.rate, s.frame_length, s.data_amount);
  return edit.accepted ? std::string() : edit.message;
}

Moment moment_of(const Form1& form, std::size_t actions_applied) {
  return {form.now(), form.clock().ticks(), actions_applied};
}

bool before(const Moment& a, const Moment& b) {
  if (a.ticks != b.ticks) return a.ticks < b.ticks;
  if (a.actions != b.actions) return a.actions < b.actions;
  return a.time < b.time;
}

void replay(Form1& form, std::size_t applied, std::span<const UserAction> actions,
            const Target& target, TickCount count) {
  const std::size_t last = std::min(target.actions, actions.size());
  for (std::size_t k = applied; k < last; ++k) {
    const UserAction& a = actions[k];
    const std::string what = "action " + std::to_string(k + 1);
    reach(form, a.ticks, a.time, what.c_str(), count);
    apply_action(form, a);
  }
  reach(form, target.ticks, target.time, "the moment asked for", count);
}

Target at_time(std::span<const UserAction> actions, VirtualMs t) {
  Target target;
  target.time = t;
  target.actions =
      static_cast<std::size_t>(std::find_if(actions.begin(), actions.end(),
                                            [&](const UserAction& a) { return a.time > t; }) -
                               actions.begin());
  return target;
}

}  // namespace bruvik
