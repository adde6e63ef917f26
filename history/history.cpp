#include "history/history.h"

#include <algorithm>

#include "model/form.h"

namespace bruvik {
namespace {

// A checkpoint every few virtual seconds; when there are this many, every other one goes and
// the spacing doubles, so a long run costs no more memory than a short one (some 50 kB each).
constexpr std::size_t kMaxCheckpoints = 128;
constexpr VirtualMs kFirstSpacingMs = 5000;

std::unique_ptr<Form1> copy_of(const Form1& form) {
  auto out = std::make_unique<Form1>(form.seed(), form.handlers());
  out->copy_state_from(form);
  return out;
}

}  // namespace

History::History(Form1& live, StartSettings start, std::size_t record_capacity)
    : live_(live),
      start_(std::move(start)),
      record_(record_capacity),
      sink_(record_, live),
      spacing_ms_(kFirstSpacingMs),
      scratch_(std::make_unique<Form1>(live.seed(), live.handlers())) {
  furthest_ = now();
  checkpoints_.push_back({furthest_, copy_of(live)});
  live_.set_sink(&sink_);
}

History::~History() {
  if (live_.sink() == &sink_) live_.set_sink(nullptr);
}

Moment History::now() const {
  return moment_of(live_, applied_);
}

void History::note_furthest() {
  const Moment m = now();
  if (before(furthest_, m)) furthest_ = m;
  if (!before(now(), furthest_)) sink_.skip_none();
}

void History::discard_future() {
  if (!behind()) return;
  const Moment m = now();
  actions_.resize(applied_);
  record_.truncate_after(m.ticks);
  while (checkpoints_.size() > 1 && before(m, checkpoints_.back().at)) checkpoints_.pop_back();
  furthest_ = m;
  sink_.skip_none();
}

void History::record_action(UserAction action) {
  discard_future();
  action.time = live_.now();
  action.ticks = live_.clock().ticks();
  actions_.push_back(std::move(action));
  applied_ = actions_.size();
  furthest_ = now();
  sink_.action_done();
}

void History::advance_to(VirtualMs t) {
  while (applied_ < actions_.size() && actions_[applied_].time <= t) {
    replay(live_, applied_, actions_,
           {actions_[applied_].time, actions_[applied_].ticks, applied_ + 1});
    ++applied_;
  }
  live_.advance_to(t);
  note_furthest();
}

int History::deliver_next(VirtualMs limit) {
  Clock& clock = live_.clock();
  for (;;) {
    // An action due before the next tick is done first, at its moment.
    while (applied_ < actions_.size()) {
      const UserAction& a = actions_[applied_];
      if (a.ticks.value_or(0) != clock.ticks() || a.time > limit) break;
      replay(live_, applied_, actions_, {a.time, a.ticks, applied_ + 1});
      ++applied_;
    }
    // Skipped ticks never carry the run past the next action's moment.
    const bool pending = applied_ < actions_.size() && actions_[applied_].ticks.has_value();
    const std::uint64_t bound = pending ? *actions_[applied_].ticks : kNoTickLimit;
    const int timer = clock.deliver_next(limit, bound);
    if (timer != 0 || !pending || clock.ticks() != bound) {
      note_furthest();
      return timer;
    }
    if (actions_[applied_].time > limit) {
      // Nothing falls due between that tick and the action, so none by `limit` either.
      clock.advance_to(limit);
      note_furthest();
      return 0;
    }
  }
}

void History::reached() {
  note_furthest();
  const Moment m = now();
  if (before(checkpoints_.back().at, m) && m.time >= checkpoints_.back().at.time + spacing_ms_) {
    take_checkpoint();
  }
}

void History::take_checkpoint() {
  if (checkpoints_.size() >= kMaxCheckpoints) {
    // Keep the start and every other one after it.
    std::vector<Checkpoint> kept;
    kept.reserve(kMaxCheckpoints / 2 + 1);
    for (std::size_t i = 0; i < checkpoints_.size(); i += 2)
      kept.push_back(std::move(checkpoints_[i]));
    checkpoints_ = std::move(kept);
    spacing_ms_ *= 2;
  }
  checkpoints_.push_back({now(), copy_of(live_)});
}

void History::go_to(const Target& target) {
  // The latest checkpoint that is not past the target, or the live form itself when the target
  // lies ahead of it.
  const auto not_past = [&](const Moment& m) {
    if (m.actions > target.actions || m.time > target.time) return false;
    return !target.ticks || m.ticks <= *target.ticks;
  };
  const Form1* from = nullptr;
  Moment from_at;
  for (const Checkpoint& c : checkpoints_) {
    if (not_past(c.at)) {
      from = c.form.get();
      from_at = c.at;
    }
  }
  const Moment live_at = now();
  const bool from_live = not_past(live_at) && (from == nullptr || !before(live_at, from_at));
  if (from_live) {
    from = &live_;
    from_at = live_at;
  }
  scratch_->copy_state_from(*from);
  replay(*scratch_, from_at.actions, actions_, target);
  live_.copy_state_from(*scratch_);
  live_.forget_flashes();
  applied_ = std::min(target.actions, actions_.size());
  // The events up to the furthest moment are in the record already.
  sink_.skip_through(furthest_.ticks);
  note_furthest();
}

void History::go_to_time(VirtualMs t) {
  go_to(at_time(actions_, std::clamp<VirtualMs>(t, 0, furthest_.time)));
}

void History::begin_anew(StartSettings start, std::vector<UserAction> actions,
                         const Target& target) {
  start_ = std::move(start);
  actions_ = std::move(actions);
  applied_ = 0;
  record_.clear();
  sink_.skip_none();
  checkpoints_.clear();
  spacing_ms_ = kFirstSpacingMs;
  furthest_ = now();
  checkpoints_.push_back({furthest_, copy_of(live_)});
  // A stretch at a time, so that going back within the opened run finds checkpoints too.
  const std::size_t last = std::min(target.actions, actions_.size());
  const auto play_to = [&](const Target& stretch) {
    for (; applied_ < stretch.actions; ++applied_) {
      const UserAction& a = actions_[applied_];
      replay(live_, applied_, actions_, {a.time, a.ticks, applied_ + 1});
      sink_.action_done();
    }
    replay(live_, applied_, actions_, stretch);
  };
  for (;;) {
    const VirtualMs to = live_.now() + spacing_ms_;
    if (to >= target.time) break;
    play_to(at_time(std::span(actions_).first(last), to));
    reached();
  }
  play_to(target);
  applied_ = last;
  reached();
}

std::optional<Moment> History::attempt_replayed() {
  // Runs the stretch from each checkpoint before the present, latest first, watching attempts.
  struct Watch : EventSink {
    const Form1* form = nullptr;
    std::uint64_t before = 0;
    std::optional<Moment> last;
    void on_event(const Event& e) override {
      if (form->clock().ticks() < before) last = Moment{e.time, form->clock().ticks(), 0};
    }
  };
  const Moment at = now();
  for (auto c = checkpoints_.rbegin(); c != checkpoints_.rend(); ++c) {
    if (!before(c->at, at)) continue;
    Watch watch;
    watch.form = scratch_.get();
    watch.before = at.ticks;
    scratch_->copy_state_from(*c->form);
    scratch_->set_sink(&watch, 1u << static_cast<unsigned>(EventKind::Attempt));
    replay(*scratch_, c->at.actions, actions_, {at.time, at.ticks, at.actions});
    scratch_->set_sink(nullptr);
    if (watch.last) return watch.last;
  }
  return std::nullopt;
}

bool History::go_back_one_attempt() {
  std::optional<Moment> attempt;
  const RecordedEvent* held = record_.attempt_before(live_.clock().ticks());
  if (held != nullptr) {
    attempt = Moment{held->time, record_.tick_of(*held), 0};
  } else if (record_.complete_from() > 0) {
    attempt = attempt_replayed();  // the record no longer holds that stretch
  }
  if (!attempt) return false;
  // Right after that tick: the actions recorded before it, none of those after.
  Target target;
  target.time = attempt->time;
  target.ticks = attempt->ticks;
  target.actions = static_cast<std::size_t>(
      std::find_if(actions_.begin(), actions_.end(),
                   [&](const UserAction& a) { return a.ticks.value_or(0) >= attempt->ticks; }) -
      actions_.begin());
  go_to(target);
  return true;
}

}  // namespace bruvik
