#include "session/run_session.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "history/experiment_link.h"
#include "history/history.h"
#include "history/lesson_text.h"
#include "history/replay.h"
#include "model/form.h"
#include "model/numtext.h"
#include "model/timer_table.h"
#include "session/strip_texts.h"

namespace bruvik {
namespace {

// The moment the last method ended, if the record holds it.
std::optional<VirtualMs> finish_in(const RunRecord& record) {
  const auto events = record.events();
  for (auto it = events.rbegin(); it != events.rend(); ++it) {
    if (it->kind == EventKind::MethodEnd && it->method == kMethods - 1) return it->time;
  }
  return std::nullopt;
}

// "45.1": seconds with one decimal, whatever the locale. The window has always written an exact
// half (1.25 s) upwards, where fmt rounds it to even.
std::string seconds_text(VirtualMs ms) {
  if (ms >= 0 && ms % 500 == 250)
    return numtext::fixed(static_cast<double>((ms + 50) / 100) / 10, 1);
  return numtext::fixed(static_cast<double>(ms) / 1000.0, 1);
}

}  // namespace

RunSession::RunSession(Form1& form, History* history, Pacer::WallClock wall)
    : form_(form), history_(history), pacer_(form, std::move(wall)) {
  if (history_ != nullptr) {
    pacer_.set_driver({[this](VirtualMs t) { history_->advance_to(t); },
                       [this](VirtualMs limit) { return history_->deliver_next(limit); }});
  }
}

void RunSession::say(std::string message) {
  message_ = std::move(message);
  ++said_;
}

void RunSession::fail(std::string sentence) {
  failed_ = true;
  fault_ = std::move(sentence);
}

void RunSession::pace() {
  pacer_.frame();
  if (history_ != nullptr) history_->reached();
}

bool RunSession::frame() {
  run_core([this] { pace(); });
  if (!pacer_.take_speed_reset()) return false;
  say("The run has finished; the speed is back at 1x.");
  return true;
}

void RunSession::perform(UserAction action) {
  run_core([&] {
    pace();
    apply_action(form_, action);
    record(std::move(action));
  });
}

void RunSession::restart(void (*click)(Form1&)) {
  run_core([&] {
    pace();
    click(form_);
  });
}

bool RunSession::key_in_seconds_box(int code) {
  bool handled = false;
  run_core([&] {
    pace();
    handled = Text7_KeyPress(form_, code);
    if (handled) record({0, std::nullopt, ActionKind::Key, "Text7", "", code});
  });
  return handled || failed_;
}

bool RunSession::type_into(const std::string& box, bool box_enabled, const std::string& text) {
  if (!box_enabled || failed_) return false;
  perform({0, std::nullopt, ActionKind::Type, box, text, 0});
  return true;
}

DataAmountEdit RunSession::commit_data_amount(const std::string& typed) {
  DataAmountEdit edit;
  bool dropped = false;
  run_core([&] {
    pace();
    edit = bruvik::commit_data_amount(form_, typed);
    if (edit.accepted) {
      dropped = record({0, std::nullopt, ActionKind::DataAmount, "Text6", typed, 0});
    }
  });
  if (edit.accepted) {
    if (!dropped) say("");
  } else if (!failed_) {
    say(edit.message);
  }
  return edit;
}

bool RunSession::record(UserAction action) {
  if (history_ == nullptr) return false;
  // Acting before the finish that the recorded future held: that finish is no longer ahead.
  if (const auto f = pacer_.finished_at(); f && *f > form_.now()) pacer_.set_finished_at({});
  const bool drops = history_->behind();
  history_->record_action(std::move(action));
  if (drops) {
    say("The run after " + seconds_text(form_.now()) + " s was replaced by your new action.");
  }
  return drops;
}

void RunSession::pause() {
  pacer_.set_paused(true);
}

void RunSession::toggle_pause() {
  pacer_.set_paused(!pacer_.paused());
  say("");
}

void RunSession::step_once() {
  Pacer::StepOutcome outcome{Pacer::StepResult::OutOfTime};
  run_core([&] { outcome = pacer_.step(); });
  switch (outcome.result) {
    case Pacer::StepResult::Attempt:
      say("Station " + std::to_string(built_timer(outcome.timer).station) + " attempted at " +
          run_time_text(form_.now()) + "; paused.");
      break;
    case Pacer::StepResult::NoStationRunning:
      // After the last method no button starts a station again.
      say(form_.method_index() == kMethods - 1
              ? "The run has finished: RESTART starts a new one."
              : "No station is running: press \"EnableThe Computers\" first.");
      break;
    case Pacer::StepResult::OutOfTime:
      if (!failed_) say("No attempt yet; press Step again.");
      break;
  }
}

void RunSession::choose_speed(int index) {
  const auto choices = speed_choices();
  if (index < 0 || index >= int(choices.size())) return;
  pacer_.set_speed(choices[static_cast<std::size_t>(index)].speed);
}

void RunSession::go_to_moment(VirtualMs t) {
  if (history_ == nullptr || failed_) return;
  pause();
  run_core([&] { history_->go_to_time(t); });
  say("The run as it was at " + run_time_text(t) + "; Resume runs on from here.");
}

void RunSession::go_back() {
  if (history_ == nullptr || failed_) return;
  pause();
  bool went = false;
  run_core([&] { went = history_->go_back_one_attempt(); });
  say(went ? "Back at the attempt at " + run_time_text(form_.now()) + "; paused."
           : "There is no attempt before this one.");
}

VirtualMs RunSession::furthest_to_show() const {
  if (history_ == nullptr) return form_.now();
  const VirtualMs furthest = history_->furthest().time;
  const auto finish = pacer_.finished_at();
  return finish && *finish <= furthest ? *finish : furthest;
}

Experiment RunSession::current_experiment() const {
  Experiment e;
  if (history_ == nullptr) return e;
  e.start = history_->start();
  e.actions = history_->actions();
  const Moment now = history_->now();
  e.saved_at = Target{now.time, now.ticks, now.actions};
  e.title = title_;
  e.note = note_;
  return e;
}

void RunSession::saved(const std::string& file_name, VirtualMs at) {
  say("Saved to " + file_name + " at " + run_time_text(at) + ".");
}

std::string RunSession::open_experiment(const std::string& path, const std::string& name) {
  if (history_ == nullptr || failed_) return "The run cannot be replaced now.";
  const ExperimentRead read = open_experiment_file(path, form_.handlers());
  if (!read.experiment) return experiment_refusal("This file", read.error);
  load_experiment(*read.experiment, name);
  return {};
}

std::string RunSession::open_experiment_text(std::string_view text, const std::string& name) {
  if (history_ == nullptr || failed_) return "The run cannot be replaced now.";
  const ExperimentRead read = bruvik::open_experiment_text(text, form_.handlers());
  if (!read.experiment) return experiment_refusal(name, read.error);
  load_experiment(*read.experiment, name);
  return {};
}

std::string RunSession::open_link(std::string_view link) {
  if (history_ == nullptr || failed_) return "The run cannot be replaced now.";
  const LinkRead link_read = experiment_text_of_link(link);
  if (!link_read.text) return link_read.refusal;
  const ExperimentRead read = bruvik::open_experiment_text(*link_read.text, form_.handlers());
  // Worded as the page words it.
  if (!read.experiment) return experiment_refusal("The link", read.error);
  load_experiment(*read.experiment, "the link");
  return {};
}

bool RunSession::load_experiment(const Experiment& e, const std::string& name) {
  if (history_ == nullptr || failed_) return false;
  pause();
  // The same form and history, begun anew: whatever reads them stays valid.
  const bool loaded = run_core([&] {
    Form1 fresh(e.start.seed, form_.handlers());
    prepare(fresh, e.start);
    form_.copy_state_from(fresh);
    form_.forget_flashes();
    history_->begin_anew(e.start, e.actions, opening_target(e));
  });
  if (!loaded) return false;
  title_ = e.title;
  note_ = e.note;
  pacer_.set_finished_at(finish_in(history_->record()));
  say("Opened " + name + " at " + run_time_text(form_.now()) + ", paused: Resume runs it on.");
  return true;
}

std::string RunSession::set_lesson(std::string_view title, std::string_view question) {
  LessonText typed = lesson_text(title, question);
  if (!typed.refusal.empty()) return typed.refusal;
  title_ = std::move(typed.title);
  note_ = std::move(typed.note);
  return {};
}

bool RunSession::note_asks_for_timeline() const {
  constexpr std::string_view kWord = "timeline";
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
  };
  return std::search(note_.begin(), note_.end(), kWord.begin(), kWord.end(), same) != note_.end();
}

}  // namespace bruvik
