// What a user did to a run, as the run can do it again: each action with the moment it came.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/clock.h"

namespace bruvik {

class Form1;

enum class ActionKind : std::uint8_t {
  Click,       // a command button, "Command1" to "Command7" (RESTART starts a new copy instead)
  Option,      // an order option selected, "Option1" or "Option2"
  Key,         // a key handled by a box's key handler (Enter in "Text7")
  Type,        // the text of an enabled text box replaced by what the user typed
  DataAmount,  // a data amount committed to "Text6" (Enter, or the box left)
};

struct UserAction {
  VirtualMs time = 0;
  // Ticks the timer rules had delivered before the action, skipped ones too (Clock::ticks).
  // None (a file written by hand): after every tick due by `time`.
  std::optional<std::uint64_t> ticks;
  ActionKind kind = ActionKind::Click;
  std::string control;  // window name
  std::string text;     // Type, DataAmount
  int key = 0;          // Key

  bool operator==(const UserAction&) const = default;
};

// "click", "option", "key", "type", "data_amount"; and back (false for an unknown name).
std::string_view action_kind_name(ActionKind kind);
bool action_kind_named(std::string_view name, ActionKind& kind);

// What is wrong with the action as such (a control it cannot act on, a key out of range), or
// empty. Says nothing of its moment.
std::string action_problem(const UserAction& action);

// Does it to the form at the form's present moment, exactly as the window does it: an action on
// a control that is disabled or hidden by then changes nothing, a refused data amount neither.
void apply_action(Form1& form, const UserAction& action);

}  // namespace bruvik
