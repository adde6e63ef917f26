#include "history/actions.h"

#include <array>

#include "controls/operator_controls.h"
#include "model/form.h"
#include "model/form_table.h"
#include "sim/run/run.h"

namespace bruvik {
namespace {

constexpr std::array<std::string_view, 5> kNames = {"click", "option", "key", "type",
                                                    "data_amount"};

using Click = void (*)(Form1&);
constexpr std::array<Click, 7> kClicks = {Command1_Click, Command2_Click, Command3_Click,
                                          Command4_Click, Command5_Click, Command6_Click,
                                          Command7_Click};

// The number of "Command<n>", 1 to 7, or 0.
int command_number(std::string_view control) {
  if (control.size() != 8 || control.substr(0, 7) != "Command") return 0;
  const char c = control[7];
  return c >= '1' && c <= '7' ? c - '0' : 0;
}

Control* text_box(Form1& form, std::string_view control) {
  Control* c = form.find_named(control);
  return c != nullptr && c->kind() == Kind::TextBox ? c : nullptr;
}

}  // namespace

std::string_view action_kind_name(ActionKind kind) {
  return kNames[static_cast<std::size_t>(kind)];
}

bool action_kind_named(std::string_view name, ActionKind& kind) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == name) {
      kind = static_cast<ActionKind>(i);
      return true;
    }
  }
  return false;
}

std::string action_problem(const UserAction& a) {
  const std::string quoted = "\"" + a.control + "\"";
  switch (a.kind) {
    case ActionKind::Click:
      if (a.control == "Command8") return "RESTART starts a new copy and is not replayed";
      if (command_number(a.control) == 0)
        return "a click needs a button Command1 to Command7, not " + quoted;
      return "";
    case ActionKind::Option:
      if (a.control != "Option1" && a.control != "Option2") {
        return "an option is Option1 or Option2, not " + quoted;
      }
      return "";
    case ActionKind::Key:
      if (a.control != "Text7") return "only Text7 takes keys, not " + quoted;
      if (a.key != 13)
        return "the only key Text7 acts on is Enter (13), not " + std::to_string(a.key);
      return "";
    case ActionKind::Type:
      if (a.control == "Text6") return "the data amount is set with a data_amount action";
      for (const BuiltControl& b : built_controls()) {
        if (b.kind == Kind::TextBox && window_name(b) == a.control) return "";
      }
      return "text is typed into a text box, and " + quoted + " is none";
    case ActionKind::DataAmount:
      if (a.control != "Text6") return "the data amount box is Text6, not " + quoted;
      return "";
  }
  return "unknown action";
}

void apply_action(Form1& form, const UserAction& a) {
  // A control hidden or disabled at this moment takes no click, key or text in the window; a
  // file asking for one is replayed as the window would have had it.
  if (const Control* c = form.find_named(a.control); c == nullptr || !c->enabled() || !c->visible())
    return;
  switch (a.kind) {
    case ActionKind::Click:
      if (const int n = command_number(a.control); n > 0)
        kClicks[static_cast<std::size_t>(n - 1)](form);
      return;
    case ActionKind::Option:
      select_option(form, a.control == "Option1" ? form.Option1 : form.Option2);
      return;
    case ActionKind::Key:
      Text7_KeyPress(form, a.key);
      return;
    case ActionKind::Type:
      if (Control* box = text_box(form, a.control); box != nullptr) box->set_text(a.text);
      return;
    case ActionKind::DataAmount:
      commit_data_amount(form, a.text);
      return;
  }
}

}  // namespace bruvik
