// A run in a window, whatever the toolkit draws it with: the clock paced to the wall clock, the
// user's actions performed and recorded, going back, experiments opened and saved, and the one
// line the strip shows about what just happened. A front calls it with the input it receives
// and the wall time it reads, then draws what it holds; it never calls a front.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "controls/operator_controls.h"
#include "history/actions.h"
#include "history/experiment_file.h"
#include "model/clock.h"
#include "model/runtime_error.h"
#include "session/pacer.h"

namespace bruvik {

class Form1;
class History;

class RunSession {
 public:
  // `history` (may be null: no going back, no files) records the run of `form` from its start.
  RunSession(Form1& form, History* history, Pacer::WallClock wall);

  Form1& form() { return form_; }
  History* history() const { return history_; }
  Pacer& pacer() { return pacer_; }
  const Pacer& pacer() const { return pacer_; }

  // A run-time error (or any other exception) in the core ends its logic: nothing of the core
  // runs after it. The sentence that says what happened, once.
  bool failed() const { return failed_; }
  const std::string& fault() const { return fault_; }

  // The strip's line: what the last action did. `said()` counts the sentences, so that a front
  // shows each once, also the same sentence twice.
  const std::string& message() const { return message_; }
  std::uint64_t said() const { return said_; }

  // One display frame: the clock up to the wall clock. True when the run finished above 1x
  // during it and the speed went back to 1x (the message says so).
  bool frame();
  // The user's actions on the window's controls, brought to the moment they happen at.
  void perform(UserAction action);
  // RESTART: starts a fresh copy, nothing of this run to record.
  void restart(void (*click)(Form1&));
  // A key in the seconds box; true when the box took it.
  bool key_in_seconds_box(int code);
  // Typing into a box; false when the box is locked by now (it then shows the model's text).
  bool type_into(const std::string& box, bool box_enabled, const std::string& text);
  // Enter in the data amount box, or the focus leaving it.
  DataAmountEdit commit_data_amount(const std::string& typed);

  void pause();
  void toggle_pause();
  void step_once();
  void choose_speed(int index);

  // Going back (with a history): the run as it was at `t`, paused; Back to the attempt of a
  // station before this one, paused.
  void go_to_moment(VirtualMs t);
  void go_back();
  // The slider's end: the furthest moment reached, or the finish once the run has finished.
  VirtualMs furthest_to_show() const;

  // Experiments. A saved run keeps the title and note of the file it was opened from.
  Experiment current_experiment() const;
  void saved(const std::string& file_name, VirtualMs at);
  // Reads and checks a file whole; empty when it replaced the run on screen, else the sentence
  // that says why not (the run on screen is then left as it was).
  std::string open_experiment(const std::string& path, const std::string& name);
  // The same for a file's text that a front read itself (a page has no files).
  std::string open_experiment_text(std::string_view text, const std::string& name);
  // The same for a link to a moment pasted as text: the link's refusal, or that of the file it
  // holds.
  std::string open_link(std::string_view link);
  // A file already read and checked; `name` is how the user knows it. False when the core
  // failed while loading it.
  bool load_experiment(const Experiment& checked, const std::string& name);
  const std::string& title() const { return title_; }
  const std::string& note() const { return note_; }
  // A title and question typed for the run, kept for its saving: empty when they were taken,
  // else the sentence that says why not (the run's own are then left as they were).
  std::string set_lesson(std::string_view title, std::string_view question);
  // A lesson whose note speaks of the timeline (in any case) asks for it to be shown.
  bool note_asks_for_timeline() const;

  // Core code run under the rule above; false when it failed (now or before).
  template <typename F>
  bool run_core(F&& f);

 private:
  void say(std::string message);
  void pace();
  // Records an action; true when it replaced the recorded future (the message then says so).
  bool record(UserAction action);
  void fail(std::string sentence);

  Form1& form_;
  History* history_;
  Pacer pacer_;
  bool failed_ = false;
  std::string fault_;
  std::string message_;
  std::uint64_t said_ = 0;
  // The title and note of the file the run was opened from.
  std::string title_;
  std::string note_;
};

template <typename F>
bool RunSession::run_core(F&& f) {
  if (failed_) return false;
  try {
    f();
    return true;
  } catch (const RuntimeError& e) {
    fail(e.what());
  } catch (const std::exception& e) {
    fail(std::string("Internal error: ") + e.what());
  }
  return false;
}

}  // namespace bruvik
