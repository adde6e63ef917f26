#include "tests/user_actions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <map>
#include <string>

#include "controls/operator_controls.h"
#include "model/form.h"
#include "model/methods.h"
#include "model/numtext.h"
#include "model/runtime_error.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/wiring.h"

namespace bruvik {
namespace {

// Reads the action script; past its end it reads zeros.
class Script {
 public:
  Script(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  bool done() const { return pos_ >= size_; }
  std::uint8_t byte() { return pos_ < size_ ? bytes_[pos_++] : 0; }
  std::uint32_t word() {
    std::uint32_t w = byte();
    w = (w << 8) | byte();
    return w;
  }

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

struct Checker {
  Form1& form;
  MethodEndWatcher& watcher;
  int tracked_method = -1;
  double tracked_sent = 0;
  double tracked_collisions = 0;

  // Forget what the counters showed: the student has just typed into a box.
  void retrack() { tracked_method = -1; }

  std::string check() {
    for (const BuiltTimer& t : timer_table()) {
      if (form.Timer(t.number).interval() < 0) {
        return "Timer" + std::to_string(t.number) + " holds a negative interval";
      }
    }
    // The running method's counters never go backwards by themselves.
    const int k = form.method_index();
    if (!watcher.finished && k >= 0) {
      const Control& sent = data_sent(form, k);
      const Control& coll = collisions(form, k);
      // Beyond 15 digits a count cannot be held exactly as text: allow its last-digit rounding.
      const auto went_back = [](double now, double before) {
        return now < before - std::fabs(before) * 1e-14;
      };
      if (k == tracked_method && sent.text() != "Okey") {
        if (went_back(sent.number(), tracked_sent)) {
          return "the data-sent counter of " + form.method_code() + " went back";
        }
        if (went_back(coll.number(), tracked_collisions)) {
          return "the collision counter of " + form.method_code() + " went back";
        }
      }
      tracked_method = sent.text() == "Okey" ? -1 : k;
      tracked_sent = sent.number();
      tracked_collisions = coll.number();
    }
    if (std::string broken = performance_table_broken(form, watcher); !broken.empty()) {
      return broken;
    }
    return finished_run_broken(form, watcher);
  }
};

Control* text_box(Form1& form, int which) {
  switch (which % 6) {
    case 0:
      return &form.Text6;
    case 1:
      return &form.Text7;
    case 2:
      return &form.Text9;
    default:
      return &form.Text14[which % 6 - 3];
  }
}

}  // namespace

void MethodEndWatcher::on_event(const Event& e) {
  if (e.kind != EventKind::MethodEnd || e.method < 0) return;
  const auto k = static_cast<std::size_t>(e.method);
  ended[k] = true;
  throughput[k] = throughput_text(form_, e.method);
  if (e.method == kMethods - 1) finished = true;
}

std::string performance_table_broken(Form1& form, const MethodEndWatcher& watcher) {
  std::map<std::string, int> seen;
  for (int row = 0; row < 5; ++row) {
    const std::string name(numtext::trim(form.Label17[row].text()));
    if (name == "Not Prosessed") continue;
    int m = -1;
    for (int j = 0; j < kMethods; ++j) {
      if (name == methods()[static_cast<std::size_t>(j)].name) m = j;
    }
    if (m < 0) return "row " + std::to_string(row) + " names no method: " + name;
    if (++seen[name] > 1) return name + " appears twice in the performance table";
    const auto k = static_cast<std::size_t>(m);
    if (!watcher.ended[k]) return name + " is in the table but never ended";
    const std::string value(numtext::trim(form.Text8[row].text()));
    const std::string own(numtext::trim(watcher.throughput[k]));
    if (value != own) {
      return name + " shows \"" + value + "\" in the table, but its own value is \"" + own + "\"";
    }
  }
  return {};
}

std::string finished_run_broken(Form1& form, const MethodEndWatcher& watcher) {
  if (!watcher.finished) return {};
  if (form.method_code() != "pper") return "the method code left \"pper\" after the end";
  for (int m = 0; m < kMethods; ++m) {
    for (int i = 0; i < kStations; ++i) {
      if (form.Timer(station_timer(m, i)).enabled()) {
        return "a station timer runs again after the end of the run";
      }
    }
  }
  return {};
}

const std::vector<std::string>& garbage_texts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> t = {
        "",
        " ",
        "abc",
        "Okey",
        "+",
        "-",
        ".",
        "e",
        "1e309",
        "-1e309",
        "-0",
        "NaN",
        "Infinity",
        "-Infinity",
        "1.7976931348623157e308",
        "-1.7976931348623157e308",
        "99999999999999999999999999",
        "0",
        "1",
        "-5",
        "150",
        "  42  ",
        "7",
        "1,5",
        "şğüİıçö",
        "データ",
        "\xF0\x9F\x93\xA1",
        "\x01\x02\x7F",
        "\t\r\n",
        "\xFF\xFE\xC0",
        "1e-400",
        "0x10",
        "&H10",
        "  -.5e1x",
    };
    t.push_back(std::string(10000, 'x'));
    t.push_back(std::string(10000, '9'));
    t.push_back("1" + std::string(400, '0'));
    t.push_back(std::string(5000, ' ') + "3");
    return t;
  }();
  return texts;
}

std::string play_actions(std::uint64_t seed, const std::uint8_t* bytes, std::size_t size,
                         VirtualMs cap, SoakStats* stats) {
  SoakStats local;
  SoakStats& st = stats != nullptr ? *stats : local;
  Script script(bytes, size);
  Form1 form(seed, tick_handlers());
  MethodEndWatcher watcher(form);
  form.set_sink(&watcher, event_bit(EventKind::MethodEnd));
  form.on_restart = [&st] { ++st.restarts; };
  Checker checker{form, watcher};

  const auto fail = [&](const std::string& what, const std::string& during) {
    return what + " (after " + during + " at " + std::to_string(form.now()) + " ms, seed " +
           std::to_string(seed) + ")";
  };

  std::string during = "start-up";
  int actions_after_end = 0;
  try {
    prepare_form(form, 5, 5, 5, "100");
    if (std::string broken = checker.check(); !broken.empty()) return fail(broken, during);
    while (!script.done() && form.now() < cap) {
      const std::uint8_t op = script.byte();
      const std::uint8_t arg = script.byte();
      switch (op % 16) {
        case 0:
        case 1:
        case 2: {
          // Wait a while: anything from nothing to a minute, mostly short.
          const std::uint32_t w = script.word();
          const VirtualMs wait = (op % 16 == 2) ? w % 60000 : w % 1500;
          during = "waiting " + std::to_string(wait) + " ms";
          form.advance_to(form.now() + wait);
          break;
        }
        case 3:
          during = "EnableThe Computers";
          Command1_Click(form);
          break;
        case 4: {
          static void (*const buttons[])(Form1&) = {Command2_Click, Command3_Click, Command4_Click,
                                                    Command5_Click, Command6_Click, Command7_Click};
          during = "Command" + std::to_string(2 + arg % 6);
          buttons[arg % 6](form);
          break;
        }
        case 5:
          during = "RESTART";
          Command8_Click(form);
          break;
        case 6: {
          Control& option = arg % 2 == 0 ? form.Option1 : form.Option2;
          during = arg % 2 == 0 ? "Option1" : "Option2";
          if (option.enabled()) select_option(form, option);
          break;
        }
        case 7:
          during = "Enter in Text7";
          if (form.Text7.enabled()) Text7_KeyPress(form, 13);
          break;
        default: {
          Control* box = text_box(form, arg);
          if (!box->enabled() || !box->visible()) break;
          const auto& texts = garbage_texts();
          std::string typed = texts[script.byte() % texts.size()];
          if (op % 16 >= 13) {
            // A number of the student's own.
            typed = std::to_string(static_cast<int>(script.word()) - 30000);
          }
          during = "typing into " + window_name(box->built());
          ++st.typed;
          if (box == &form.Text6) {
            commit_data_amount(form, typed);  // Enter or leaving the box
          } else {
            box->set_text(typed);
          }
          checker.retrack();
          break;
        }
      }
      ++st.actions;
      if (std::string broken = checker.check(); !broken.empty()) return fail(broken, during);
      // A finished run is still played with for a while (it must stay finished), not for
      // hours: with a data amount of 0 or less it re-ranks its table every millisecond.
      if (watcher.finished && ++actions_after_end > 30) break;
    }
    // The student has stopped: the run goes on to its end or to the cap, still checked.
    during = "the rest of the run";
    while (!watcher.finished && form.now() < cap) {
      form.advance_to(std::min<VirtualMs>(cap, form.now() + 5000));
      if (std::string broken = checker.check(); !broken.empty()) return fail(broken, during);
    }
    form.advance_to(form.now() + 3000);  // a finished run stays finished
    if (std::string broken = checker.check(); !broken.empty()) return fail(broken, during);
  } catch (const RuntimeError& e) {
    return fail(std::string("a run-time error escaped: ") + e.what(), during);
  } catch (const std::exception& e) {
    return fail(std::string("an exception escaped: ") + e.what(), during);
  }
  st.finished = watcher.finished;
  st.virtual_ms = form.now();
  return {};
}

}  // namespace bruvik
