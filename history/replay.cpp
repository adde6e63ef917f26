#include "history/replay.h"

#include <algorithm>

#include "controls/operator_controls.h"
#include "model/form.h"

namespace bruvik {
namespace {

std::string at(VirtualMs time) {
  return std::to_string(time) + " ms";
}

// Brings the form to the moment "right after tick `ticks`, at `time`" (or, without ticks,
// after every tick due by `time`).
void reach(Form1& form, std::optional<std::uint64_t> ticks, VirtualMs time, const char* what) {
  Clock& clock = form.clock();
  if (time < clock.now()) {
    throw ReplayError(std::string(what) + " at " + at(time) + " lies before " + at(clock.now()) +
                      ", where the run already is");
  }
  if (!ticks) {
    clock.advance_to(time);
    return;
  }
  if (clock.delivered() > *ticks) {
    throw ReplayError(std::string(what) + " comes after tick " + std::to_string(*ticks) +
                      ", but the run has delivered " + std::to_string(clock.delivered()) +
                      " ticks by then");
  }
  while (clock.delivered() < *ticks) {
    if (clock.deliver_next(time) == 0) {
      throw ReplayError(std::string(what) + " comes after tick " + std::to_string(*ticks) +
                        ", but the run delivers only " + std::to_string(clock.delivered()) +
                        " ticks by " + at(time));
    }
  }
  // No tick falls between the last one and the moment (else the ticks would differ): the
  // clock only moves on.
  if (clock.now() < time) {
    clock.advance_to(time);
    if (clock.delivered() != *ticks) {
      throw ReplayError(std::string(what) + " at " + at(time) + " comes after tick " +
                        std::to_string(*ticks) + ", but more ticks fall due before it");
    }
  }
}

}  // namespace

std::string prepare(Form1& form, const StartSettings& s) {
  const DataAmountEdit edit = prepare_form(form, s.mtu, s.rate, s.frame_length, s.data_amount);
  return edit.accepted ? std::string() : edit.message;
}

Moment moment_of(const Form1& form, std::size_t actions_applied) {
  return {form.now(), form.clock().delivered(), actions_applied};
}

bool before(const Moment& a, const Moment& b) {
  if (a.ticks != b.ticks) return a.ticks < b.ticks;
  if (a.actions != b.actions) return a.actions < b.actions;
  return a.time < b.time;
}

void replay(Form1& form, std::size_t applied, std::span<const UserAction> actions,
            const Target& target) {
  const std::size_t last = std::min(target.actions, actions.size());
  for (std::size_t k = applied; k < last; ++k) {
    const UserAction& a = actions[k];
    const std::string what = "action " + std::to_string(k + 1);
    reach(form, a.ticks, a.time, what.c_str());
    apply_action(form, a);
  }
  reach(form, target.ticks, target.time, "the moment asked for");
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
