// An impatient student at the keyboard: user actions decoded from a byte string (random bytes
// for the soak, fuzzer bytes for the action-script fuzzer), applied to a form in virtual time,
// and the checks that must hold after every one of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/clock.h"
#include "model/events.h"
#include "model/form.h"

namespace bruvik {

// Remembers, from the events of the run, what each method reached when it ended, so that the
// performance table can be checked against it. Give it the MethodEnd events.
class MethodEndWatcher : public EventSink {
 public:
  explicit MethodEndWatcher(Form1& form) : form_(form) {}
  void on_event(const Event& e) override;
  std::array<bool, kMethods> ended{};
  std::array<std::string, kMethods> throughput;
  bool finished = false;

 private:
  Form1& form_;
};

// Each row of the performance table pairs an ended method's name with its own value, and no
// method appears twice. Returns what is broken, or "".
std::string performance_table_broken(Form1& form, const MethodEndWatcher& watcher);
// A finished run stays finished: the last method's code, no station timer running.
std::string finished_run_broken(Form1& form, const MethodEndWatcher& watcher);

struct SoakStats {
  std::uint64_t actions = 0;
  std::uint64_t restarts = 0;  // RESTART presses, recorded instead of executed
  std::uint64_t typed = 0;
  bool finished = false;
  VirtualMs virtual_ms = 0;
};

// Plays the actions coded in `bytes` against a fresh form (seed `seed`), until the bytes run
// out, the run has finished and the bytes say stop, or virtual time passes `cap`. Returns the
// first broken rule, or an empty string when every check held after every action.
std::string play_actions(std::uint64_t seed, const std::uint8_t* bytes, std::size_t size,
                         VirtualMs cap, SoakStats* stats = nullptr);

// The texts the student types: empty, letters, signs alone, huge and special numbers, very long
// texts, unicode and control characters.
const std::vector<std::string>& garbage_texts();

}  // namespace bruvik
