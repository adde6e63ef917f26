// Going back in time and experiment files: a moment reached again, by checkpoint and replay,
// is the moment as it was; a saved run replays to the same state; a bad file is refused whole;
// a link to a moment reads as the page wrote it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "headless/dump.h"  // colour_text
#include "history/bus_frames.h"
#include "history/experiment_file.h"
#include "history/experiment_link.h"
#include "history/history.h"
#include "history/lesson_text.h"
#include "model/form.h"
#include "model/timer_table.h"
#include "sim/wiring.h"
#include "tests/output_reader.h"

namespace bruvik {
namespace {

// The whole state, a line per control and timer: what the dump shows, and what it does not
// (pending ticks, the generator).
std::string state_of(Form1& form) {
  std::string s = std::to_string(form.now()) + " " + form.method_code() + " rng " +
                  std::to_string(form.rng().state()) + " ticks " +
                  std::to_string(form.clock().ticks()) + "\n";
  for (const Control& c : form.controls()) {
    s += window_name(c.built()) + " [" + c.text() + "] " + std::to_string(c.enabled()) +
         std::to_string(c.visible()) + std::to_string(c.value()) + " " +
         colour_text(c.border_color()) + " " + std::to_string(c.border_width()) + "\n";
  }
  for (const BuiltTimer& t : timer_table()) {
    s += "Timer" + std::to_string(t.number) + " " +
         std::to_string(form.clock().interval(t.number)) + " " +
         std::to_string(form.clock().enabled(t.number)) + " " +
         std::to_string(form.clock().due(t.number)) + "\n";
  }
  return s;
}

// A user: random actions at random moments, a random pace.
UserAction random_action(std::mt19937_64& rng) {
  UserAction a;
  switch (rng() % 9) {
    case 0:
    case 1:
      a.kind = ActionKind::Click;
      a.control = "Command1";
      break;
    case 2:
      a.kind = ActionKind::Click;
      a.control = "Command" + std::to_string(2 + rng() % 6);
      break;
    case 3:
      a.kind = ActionKind::Option;
      a.control = rng() % 2 ? "Option1" : "Option2";
      break;
    case 4:
      a.kind = ActionKind::Key;
      a.control = "Text7";
      a.key = 13;
      break;
    case 5:
      a.kind = ActionKind::Type;
      a.control = rng() % 2 ? "Text7" : "Text9";
      a.text = std::to_string(rng() % 50);
      break;
    default:
      a.kind = ActionKind::DataAmount;
      a.control = "Text6";
      a.text = rng() % 5 == 0 ? "x" : std::to_string(5 + rng() % 30);
      break;
  }
  return a;
}

// Empty when equal, else the first line that differs, for a short failure message.
std::string first_difference(const std::string& a, const std::string& b) {
  if (a == b) return "";
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  const std::size_t from = a.rfind('\n', i == 0 ? 0 : i - 1);
  const std::size_t start = from == std::string::npos ? 0 : from + 1;
  return "got \"" + a.substr(start, a.find('\n', i) - start) + "\", was \"" +
         b.substr(start, b.find('\n', i) - start) + "\"";
}

struct Session {
  explicit Session(std::uint64_t seed, std::string amount = "20",
                   std::size_t record_capacity = RunRecord::kDefaultCapacity)
      : live(seed, tick_handlers()) {
    start.seed = seed;
    start.data_amount = std::move(amount);
    prepare(live, start);
    history = std::make_unique<History>(live, start, record_capacity);
  }
  void act(const UserAction& a) {
    apply_action(live, a);
    history->record_action(a);
  }
  Form1 live;
  StartSettings start;
  std::unique_ptr<History> history;
};

TEST(GoingBack, AnyMomentReachedAgainIsTheMomentAsItWas) {
  std::size_t checkpoints = 0;
  for (std::uint64_t seed = 1; seed <= 12; ++seed) {
    std::mt19937_64 rng(seed * 7919);
    Session s(seed);
    std::map<VirtualMs, std::string> seen;  // the state at every frame's end, as it was
    seen[0] = state_of(s.live);
    bool inside_ms = false;  // after Step or Back: ticks of this millisecond may still be due
    for (int step = 0; step < 400; ++step) {
      const unsigned roll = rng() % 20;
      if (roll < 12) {
        s.history->advance_to(s.live.now() + 1 + static_cast<VirtualMs>(rng() % 900));
        inside_ms = false;
      } else if (roll < 15) {
        s.act(random_action(rng));
        // What was seen after this moment is no longer the future; the moment itself now
        // includes the action.
        seen.erase(seen.upper_bound(s.live.now()), seen.end());
        if (inside_ms) {
          seen.erase(s.live.now());
        } else {
          seen[s.live.now()] = state_of(s.live);
        }
        continue;
      } else if (roll < 17 && seen.size() > 1) {
        auto it = seen.begin();
        std::advance(it, static_cast<long>(rng() % seen.size()));
        s.history->go_to_time(it->first);
        inside_ms = false;
        ASSERT_EQ(first_difference(state_of(s.live), it->second), "")
            << "seed " << seed << " back to " << it->first;
        continue;
      } else {
        if (roll < 19) {
          s.history->deliver_next(s.live.now() + 100000);
        } else {
          s.history->go_back_one_attempt();
        }
        inside_ms = true;
        continue;
      }
      s.history->reached();
      const auto [it, fresh] = seen.emplace(s.live.now(), state_of(s.live));
      // Ahead again after going back: the run plays out as it did, actions included.
      if (!fresh) {
        ASSERT_EQ(first_difference(state_of(s.live), it->second), "")
            << "seed " << seed << " at " << it->first;
      }
    }
    checkpoints += s.history->checkpoints();
  }
  EXPECT_GT(checkpoints, 24u);  // the moments came from checkpoints too, not only the start
}

// The record as text, one event a line, to compare two records whole (up to a tick).
std::string record_text(const RunRecord& r, std::uint64_t through = kNoTickLimit) {
  std::string s;
  for (const RecordedEvent& e : r.events()) {
    if (r.tick_of(e) > through) break;
    s += std::to_string(e.time) + " " + std::to_string(r.tick_of(e)) + " " +
         std::to_string(static_cast<int>(e.kind)) + " " + std::to_string(e.station) + " " +
         std::to_string(e.value) + "\n";
  }
  return s;
}

// Step as the window's pacer does: ticks one at a time until a station's attempt.
void step_to_attempt(History& h, Form1& live) {
  for (int n = 0; n < 100000; ++n) {
    const int timer = h.deliver_next(live.now() + 100000);
    if (timer > 0 && built_timer(timer).role == TimerRole::Station) return;
  }
  FAIL() << "no attempt came";
}

// Back lands right after the attempt before the one the run stands on, whether the run got
// there by running or by Step, and each further Back goes one attempt further: the moment
// moves (its tick too), and an action of a later moment is not applied.
TEST(GoingBack, BackStopsRightAfterThePreviousAttempt) {
  const struct {
    const char* how;
    bool step;
  } cases[] = {{"after running", false}, {"after Step", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    Session s(5);
    s.act({0, std::nullopt, ActionKind::Click, "Command1", "", 0});
    s.history->advance_to(20000);
    if (c.step) step_to_attempt(*s.history, s.live);
    // An action that Back goes past, made right after an attempt when stepping.
    s.act({0, std::nullopt, ActionKind::DataAmount, "Text6", "25", 0});
    ASSERT_EQ(s.live.Text6.text(), "25");
    const VirtualMs acted = s.live.now();
    if (c.step) {
      step_to_attempt(*s.history, s.live);
    } else {
      s.history->advance_to(20400);
    }
    std::uint64_t ticks = s.live.clock().ticks();
    for (int back = 1; back <= 3; ++back) {
      SCOPED_TRACE(testing::Message() << "Back " << back);
      const RecordedEvent* expected = s.history->record().attempt_before(ticks);
      ASSERT_NE(expected, nullptr);
      const RecordedEvent want = *expected;
      const std::uint64_t want_tick = s.history->record().tick_of(want);
      ASSERT_TRUE(s.history->go_back_one_attempt());
      EXPECT_LT(s.live.clock().ticks(), ticks);
      EXPECT_EQ(s.live.clock().ticks(), want_tick);
      EXPECT_EQ(s.live.now(), want.time);
      ticks = s.live.clock().ticks();
      // Exactly the run right after that attempt, from the start, with only earlier actions.
      std::size_t earlier = 0;
      while (earlier < s.history->actions().size() &&
             *s.history->actions()[earlier].ticks < want_tick) {
        ++earlier;
      }
      Form1 straight(5, tick_handlers());
      prepare(straight, s.start);
      replay(straight, 0, s.history->actions(), {want.time, want_tick, earlier});
      EXPECT_EQ(first_difference(state_of(s.live), state_of(straight)), "");
    }
    ASSERT_LE(s.live.now(), acted);
    EXPECT_EQ(s.live.Text6.text(), "20") << "the later data amount was applied";
  }
}

// Going back and running on to the same moment gives the record it had, no event twice and
// none lost; a new action made after going back keeps the events of its own moment.
TEST(GoingBack, RunningOnAfterGoingBackRecordsEachEventOnce) {
  Session s(9);
  s.act({0, std::nullopt, ActionKind::Click, "Command1", "", 0});
  s.history->advance_to(30000);
  // The furthest moment right after an attempt, so that its own events are at its tick.
  step_to_attempt(*s.history, s.live);
  s.history->reached();
  const VirtualMs furthest = s.live.now();
  const std::string whole = record_text(s.history->record());
  for (const VirtualMs to : {0, 7000, 12345, 29999}) {
    s.history->go_to_time(to);
    for (VirtualMs t = s.live.now(); t < furthest - 1;) {
      t = std::min<VirtualMs>(furthest - 1, t + 1234);
      s.history->advance_to(t);
      s.history->reached();
    }
    step_to_attempt(*s.history, s.live);
    ASSERT_EQ(s.live.now(), furthest);
    ASSERT_TRUE(record_text(s.history->record()) == whole) << "back to " << to;
  }
  // A new action after going back: the events up to its moment stay, the later ones go, and
  // running on records the new future as a run with that action from the start would.
  s.history->go_to_time(15000);
  step_to_attempt(*s.history, s.live);
  const std::uint64_t at = s.live.clock().ticks();
  const std::string until_now = record_text(s.history->record(), at);
  const RecordedEvent* stepped_to = s.history->record().attempt_before(at + 1);
  s.act({0, std::nullopt, ActionKind::DataAmount, "Text6", "30", 0});
  ASSERT_NE(stepped_to, nullptr);
  EXPECT_EQ(s.history->record().tick_of(*stepped_to), at)
      << "the attempt stepped to is not recorded";
  EXPECT_TRUE(record_text(s.history->record()) == until_now)
      << "the events up to the action's moment were not kept as they were";
  s.history->advance_to(20000);
  Session straight(9);
  straight.history->begin_anew(straight.start, s.history->actions(),
                               at_time(s.history->actions(), 20000));
  EXPECT_TRUE(record_text(s.history->record()) == record_text(straight.history->record()))
      << "running on after the new action recorded another future";
  EXPECT_EQ(first_difference(state_of(s.live), state_of(straight.live)), "");
}

// Far more checkpoints than are kept have been taken: the first seconds are still exact.
TEST(GoingBack, ALongRunStillGoesBackExactlyToItsFirstSeconds) {
  Session s(13, "100000");
  s.act({0, std::nullopt, ActionKind::Click, "Command1", "", 0});
  for (VirtualMs t = 1000; t <= 3'000'000; t += 1000) {
    s.history->advance_to(t);
    s.history->reached();
  }
  ASSERT_GT(s.live.now() / 5000, 2 * 128) << "fewer checkpoints taken than are kept";
  for (const VirtualMs to : {0, 1, 2500, 4999, 5001, 12345, 2'999'999}) {
    s.history->go_to_time(to);
    Form1 straight(13, tick_handlers());
    prepare(straight, s.start);
    replay(straight, 0, s.history->actions(), at_time(s.history->actions(), to));
    ASSERT_EQ(first_difference(state_of(s.live), state_of(straight)), "") << "back to " << to;
  }
}

TEST(GoingBack, BackIsExactWhereTheRecordLetItsEventsGo) {
  // A record of 2000 events holds the last few seconds of this run; one that keeps them all
  // says where Back must land.
  Session small(5, "20", 2000), whole(5);
  for (Session* s : {&small, &whole}) {
    s->act({0, std::nullopt, ActionKind::Click, "Command1", "", 0});
    for (VirtualMs t = 0; t <= 60000; t += 500) {
      s->history->advance_to(t);
      s->history->reached();
    }
  }
  ASSERT_GT(small.history->record().complete_from(), 20000);
  ASSERT_EQ(whole.history->record().complete_from(), 0);
  EXPECT_LE(small.history->record().size(), 2000u);
  for (const VirtualMs t : {7000, 19999, 40000, 60000}) {
    small.history->go_to_time(t);
    whole.history->go_to_time(t);
    for (int back = 0; back < 3; ++back) {
      ASSERT_TRUE(small.history->go_back_one_attempt()) << t;
      ASSERT_TRUE(whole.history->go_back_one_attempt()) << t;
      EXPECT_EQ(small.live.clock().ticks(), whole.live.clock().ticks()) << t;
      EXPECT_EQ(first_difference(state_of(small.live), state_of(whole.live)), "") << t;
    }
  }
  // The method boundaries outlive the events around them.
  EXPECT_EQ(small.history->record().started(), whole.history->record().started());
  EXPECT_EQ(small.history->record().method_ends(), whole.history->record().method_ends());
}

TEST(GoingBack, TickCountsPast32BitsStayExactInTheRecord) {
  // A week at full speed delivers billions of ticks: each event keeps its own count.
  RunRecord record(8);
  std::vector<std::uint64_t> ticks;
  for (std::uint64_t i = 0; i < 20; ++i) {
    const std::uint64_t at = i * 700'000'000ULL + i;
    record.add({static_cast<VirtualMs>(i) * 1000, EventKind::Attempt, 0, 1, 2}, at);
    ticks.push_back(at);
  }
  ASSERT_FALSE(record.events().empty());
  const std::size_t first = ticks.size() - record.size();
  for (std::size_t k = 0; k < record.size(); ++k) {
    EXPECT_EQ(record.tick_of(record.events()[k]), ticks[first + k]);
  }
  const RecordedEvent* last = record.attempt_before(ticks.back());
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(record.tick_of(*last), ticks[ticks.size() - 2]);
  EXPECT_EQ(record.complete_from(), record.events().front().time);
}

TEST(Experiments, ASavedRunReplaysToTheSameState) {
  for (std::uint64_t seed : {3u, 8u, 21u}) {
    std::mt19937_64 rng(seed);
    Session s(seed);
    for (int i = 0; i < 30; ++i) {
      s.history->advance_to(s.live.now() + static_cast<VirtualMs>(rng() % 3000));
      if (i == 0 || rng() % 3 == 0) s.act(random_action(rng));
    }
    Experiment e;
    e.start = s.start;
    e.actions = s.history->actions();
    e.saved_at = Target{s.live.now(), s.live.clock().ticks(), e.actions.size()};
    const ExperimentRead read = parse_experiment(experiment_json(e));
    ASSERT_TRUE(read.experiment) << read.error;
    EXPECT_EQ(*read.experiment, e);
    Experiment opened = *read.experiment;
    ASSERT_EQ(check_by_replay(opened, tick_handlers()), "");
    Form1 again(seed, tick_handlers());
    prepare(again, opened.start);
    replay(again, 0, opened.actions, opening_target(opened));
    EXPECT_EQ(first_difference(state_of(again), state_of(s.live)), "") << seed;
  }
}

TEST(Experiments, ABadFileIsRefusedSayingWhatAndWhere) {
  const std::string good_head =
      R"({"format": "bruvik-experiment", "version": 1, "seed": 7, "settings": {"mtu": 5, )"
      R"("rate": 5, "frame_length": 5, "data_amount": "100"}, "actions": )";
  struct Case {
    std::string text;
    std::string says;
  };
  const Case cases[] = {
      {"", "not JSON"},
      {"{\"format\": ", "not JSON"},
      {R"({"format": "bruvik-experiment", "version": 9e9999})", "a number too large to read"},
      {"[1, 2]", "the file: must be an object"},
      {R"({"format": "other", "version": 1})", "format: must be \"bruvik-experiment\""},
      {R"({"format": "bruvik-experiment", "version": )" + std::to_string(kExperimentVersion + 1) +
           R"(, "seed": 1})",
       "version: " + std::to_string(kExperimentVersion + 1) + " is newer"},
      {R"({"format": "bruvik-experiment", "version": 0, "seed": 1})", "version: 0 is older"},
      {good_head + R"([], "title": ")" + std::string(10000, 't') + "\"}", ""},
      {good_head + R"([], "note": ")" + std::string(10001, 'n') + "\"}",
       "note: is longer than 10000 bytes"},
      {good_head + R"([]})", ""},
      {good_head + R"([], "colour": 1})", "\"colour\" is not a member"},
      {std::string(R"({"format": "bruvik-experiment", "version": 1, "seed": -1})"),
       "seed: must be"},
      {std::string(R"({"format": "bruvik-experiment", "version": 1, "seed": 1.5})"),
       "seed: must be a whole number"},
      {good_head.substr(0, good_head.find("\"mtu\": 5")) +
           R"("mtu": 11, "rate": 5, )"
           R"("frame_length": 5, "data_amount": "100"}, "actions": []})",
       "settings.mtu: must be from 1 to 10, not 11"},
      {good_head.substr(0, good_head.find("\"100\"")) + R"("abc"}, "actions": []})",
       "settings.data_amount: must begin with a number"},
      {good_head + R"({}})", "actions: must be a list"},
      {good_head + R"([{"ms": 5, "do": "jump", "control": "Command1"}]})",
       "actions[0].do: \"jump\" is not an action"},
      {good_head + R"([{"ms": 5, "do": "click", "control": "Command8"}]})", "actions[0]: RESTART"},
      {good_head + R"([{"ms": 5, "do": "click", "control": "Label3"}]})", "actions[0]: a click"},
      {good_head + R"([{"ms": 5, "do": "type", "control": "Label3", "text": "1"}]})",
       "actions[0]: text is typed into a text box"},
      {good_head + R"([{"ms": "5", "do": "click", "control": "Command1"}]})",
       "actions[0].ms: must be a whole number"},
      {good_head + R"([{"ms": 9, "do": "click", "control": "Command1"}, )"
                   R"({"ms": 5, "do": "click", "control": "Command1"}]})",
       "actions[1].ms: 5 is earlier than the action before it (9)"},
      {good_head + R"([{"ms": 1000, "tick": 999999, "do": "click", "control": "Command1"}]})",
       "action 1 comes after tick 999999, but the run delivers only"},
      {good_head + R"([{"ms": 0, "tick": 0, "do": "click", "control": "Command1"}, )"
                   R"({"ms": 5000, "tick": 1, "do": "click", "control": "Command3"}]})",
       "action 2 at 5000 ms comes after tick 1, but more ticks fall due before it"},
      {good_head + R"([{"ms": 0, "tick": 0, "do": "click", "control": "Command1"}], )"
                   R"("saved_at": {"ms": 5000, "tick": 1, "actions": 1}})",
       "the moment asked for at 5000 ms comes after tick 1, but more ticks fall due"},
      {good_head + R"([{"ms": 0, "do": "click", "control": "Command1"}], )"
                   R"("saved_at": {"ms": 5000, "actions": 1}})",
       ""},
      {good_head + R"([{"ms": 0, "do": "click", "control": "Command1"}], )"
                   R"("saved_at": {"ms": 5000, "actions": 2}})",
       "saved_at.actions: must be from 0 to 1, not 2"},
      {std::string(20, '[') + std::string(20, ']'), "nests deeper"},
      {std::string(kMaxExperimentBytes + 1, ' '), "larger than 10 MB"},
  };
  for (const Case& c : cases) {
    ExperimentRead r = parse_experiment(c.text);
    std::string error = r.error;
    if (r.experiment && error.empty()) error = check_by_replay(*r.experiment, tick_handlers());
    if (c.says.empty()) {
      EXPECT_EQ(error, "") << c.text.substr(0, 200);
    } else {
      EXPECT_NE(error.find(c.says), std::string::npos)
          << c.text.substr(0, 200) << "\n said: " << error;
    }
  }
}

// A file may ask for what no user could do at that moment: typing into a box or pressing a key
// in one that is disabled then, clicking an option before the options are offered. Replayed,
// such an action changes nothing, exactly as in the window.
TEST(Experiments, AReplayedActionDoesOnlyWhatAUserCouldDo) {
  const UserAction start{0, std::nullopt, ActionKind::Click, "Command1", "", 0};
  const UserAction enter{100, std::nullopt, ActionKind::Key, "Text7", "", 13};
  struct Case {
    const char* name;
    std::vector<UserAction> before;
    UserAction ignored;
  };
  const Case cases[] = {
      {"typing into a box that is never enabled",
       {start},
       {300, std::nullopt, ActionKind::Type, "Text11", "9", 0}},
      {"typing into the seconds box after Enter disabled it",
       {start, enter},
       {300, std::nullopt, ActionKind::Type, "Text7", "40", 0}},
      {"Enter again in the seconds box, long after the first",
       {start, enter},
       {2000, std::nullopt, ActionKind::Key, "Text7", "", 13}},
      {"typing into a box that is never shown",
       {start},
       {300, std::nullopt, ActionKind::Type, "Text10", "500", 0}},
      {"an order option before the options are offered",
       {start},
       {300, std::nullopt, ActionKind::Option, "Option2", "", 0}},
  };
  for (const Case& c : cases) {
    std::vector<UserAction> with = c.before;
    with.push_back(c.ignored);
    std::string states[2];
    for (int k = 0; k < 2; ++k) {
      Experiment e;
      e.start.seed = 4;
      e.actions = k == 0 ? with : c.before;
      ASSERT_EQ(check_by_replay(e, tick_handlers()), "") << c.name;
      Form1 form(4, tick_handlers());
      prepare(form, e.start);
      replay(form, 0, e.actions, at_time(e.actions, 3000));
      states[k] = state_of(form);
    }
    EXPECT_EQ(first_difference(states[0], states[1]), "") << c.name;
  }
}

}  // namespace
}  // namespace bruvik

namespace bruvik {
namespace {

// A hand-built record: "S3@100" is station 3 sending at 100 ms (method 0 unless "/k"), "E3@250"
// its frame timer taking its frames off, "C3@100" a counted collision of that sending.
std::vector<RecordedEvent> events_of(std::initializer_list<const char*> script) {
  std::vector<RecordedEvent> out;
  std::uint32_t tick = 0;
  for (const char* item : script) {
    RecordedEvent e;
    const std::string s = item;
    e.kind = s[0] == 'S'   ? EventKind::Sent
             : s[0] == 'E' ? EventKind::FrameEnd
                           : EventKind::Collision;
    e.station = static_cast<std::int8_t>(s[1] - '0');
    const auto at = s.find('@'), slash = s.find('/');
    e.time = std::stoll(s.substr(at + 1, slash == std::string::npos ? std::string::npos : slash));
    e.method = static_cast<std::int8_t>(slash == std::string::npos ? 0 : s[slash + 1] - '0');
    e.timer = static_cast<std::uint8_t>(station_timer(e.method, e.station));
    if (e.kind != EventKind::Collision) ++tick;  // a collision comes in its sending's tick
    e.tick = tick;
    out.push_back(e);
  }
  return out;
}

TEST(BusFrames, OverlapsCountedOnTheBus) {
  struct Case {
    const char* name;
    std::vector<RecordedEvent> events;
    VirtualMs stop;
    std::vector<bool> overlapped;  // per frame, in order of sending
    std::vector<VirtualMs> off;
  };
  const Case cases[] = {
      {"alone", events_of({"S1@0", "E1@150"}), 1000, {false}, {150}},
      {"two stations overlap",
       events_of({"S1@0", "S2@100", "E1@150", "E2@250"}),
       1000,
       {true, true},
       {150, 250}},
      {"touching is no overlap",
       events_of({"S1@0", "E1@150", "S2@150", "E2@300"}),
       1000,
       {false, false},
       {150, 300}},
      {"the tie: sent in the millisecond the other leaves",
       events_of({"S1@0", "S2@150", "C2@150", "E1@150", "E2@300"}),
       1000,
       {false, false},
       {150, 300}},
      {"same station twice ends with the first, overlapping nothing",
       events_of({"S4@0", "S4@100", "E4@150"}),
       1000,
       {false, false},
       {150, 150}},
      {"a station's second sending and the first both overlap another's",
       events_of({"S4@0", "S5@50", "S4@100", "E5@140", "E4@150"}),
       1000,
       {true, true, true},
       {150, 140, 150}},
      {"a chain of three: the middle one overlaps both",
       events_of({"S1@0", "S2@140", "E1@150", "S3@280", "E2@290", "E3@430"}),
       1000,
       {true, true, true},
       {150, 290, 430}},
      {"across a method change",
       events_of({"S1@0/0", "S2@50/1", "E1@150", "E2@200"}),
       1000,
       {true, true},
       {150, 200}},
      {"cut by the end of the run",
       events_of({"S1@800", "S2@900", "E1@950"}),
       960,
       {true, true},
       {950, 960}},
      {"cut by the end, still overlapping",
       events_of({"S1@0", "E1@150", "S2@900", "S3@920"}),
       950,
       {false, true, true},
       {150, 950, 950}},
  };
  for (const Case& c : cases) {
    const std::vector<BusFrame> frames = bus_frames(c.events, c.stop);
    ASSERT_EQ(frames.size(), c.overlapped.size()) << c.name;
    for (std::size_t i = 0; i < frames.size(); ++i) {
      EXPECT_EQ(frames[i].overlapped, c.overlapped[i]) << c.name << " frame " << i;
      EXPECT_EQ(frames[i].off, c.off[i]) << c.name << " frame " << i;
      EXPECT_EQ(overlap_partners(frames, i).empty(), !c.overlapped[i]) << c.name << " " << i;
    }
    // The figures tally the overlaps as the events come, apart from the frames above: the
    // terminal's figures and the timeline's frames must agree.
    const std::array<std::optional<VirtualMs>, 5> starts = {0, 0, 0, 0, 0}, ends{};
    int tallied = 0;
    for (const BusFigures& f : bus_figures(c.events, starts, ends, c.stop)) {
      tallied += f.frames_overlapped;
    }
    EXPECT_EQ(tallied, std::count(c.overlapped.begin(), c.overlapped.end(), true)) << c.name;
  }
}

TEST(BusFrames, FiguresPerMethod) {
  // Pure ALOHA from 0 to 1500 ms: four sendings, one counted collision, two frames lost.
  const auto events = events_of(
      {"S1@0", "E1@150", "S2@300", "S3@400", "C3@400", "E2@450", "E3@550", "S4@1000/1", "E4@1150"});
  const std::array<std::optional<VirtualMs>, 5> starts = {0, 1500, std::nullopt, std::nullopt,
                                                          std::nullopt};
  const std::array<std::optional<VirtualMs>, 5> ends = {1500, std::nullopt, std::nullopt,
                                                        std::nullopt, std::nullopt};
  const auto figures = bus_figures(events, starts, ends, 3000);
  const BusFigures& pure = figures[0];
  EXPECT_EQ(pure.sendings, 3);
  EXPECT_EQ(pure.counted_collisions, 1);
  EXPECT_EQ(pure.frames_overlapped, 2);
  EXPECT_EQ(pure.duration_ms, 1500);
  EXPECT_DOUBLE_EQ(*pure.offered_load, 3 * 150.0 / 1500);
  EXPECT_DOUBLE_EQ(*pure.throughput_counted, 2 * 150.0 / 1500);
  EXPECT_DOUBLE_EQ(*pure.throughput_on_bus, 1 * 150.0 / 1500);
  // The slotted sending at 1000 ms, while slotted ALOHA had not begun by the record's start
  // times, counts for slotted: its duration runs from 1500 to the stop.
  EXPECT_EQ(figures[1].sendings, 1);
  EXPECT_EQ(figures[1].duration_ms, 1500);
  EXPECT_FALSE(figures[2].offered_load);
}

}  // namespace
}  // namespace bruvik

namespace bruvik {
namespace {

// A file of the first version counted only the ticks its clock did not skip. Opened, it shows
// the moment it was saved at; saved again it is of today's version and opens there too.
TEST(Experiments, AFirstVersionFileOpensWhereItWasSavedAndSavedAgainStaysThere) {
  const std::filesystem::path fixtures = std::filesystem::path(__FILE__).parent_path() / "version1";
  int files = 0, converted = 0;
  for (const auto& folder : {std::filesystem::path(BRUVIK_EXPERIMENTS_DIR), fixtures}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().extension() != ".bruvik") continue;
      SCOPED_TRACE(entry.path().filename().string());
      const ExperimentRead read = read_experiment_file(entry.path().string());
      ASSERT_TRUE(read.experiment) << read.error;
      const Experiment& first = *read.experiment;
      Form1 as_saved(first.start.seed, tick_handlers());
      prepare(as_saved, first.start);
      replay(as_saved, 0, first.actions, opening_target(first), TickCount::FirstVersion);

      Experiment opened = first;
      ASSERT_EQ(check_by_replay(opened, tick_handlers()), "");
      const std::string text = experiment_json(opened);
      EXPECT_NE(text.find("\"version\": 2,"), std::string::npos);
      ExperimentRead again = parse_experiment(text);
      ASSERT_TRUE(again.experiment) << again.error;
      ASSERT_EQ(check_by_replay(*again.experiment, tick_handlers()), "");
      EXPECT_EQ(*again.experiment, opened) << "today's ticks stay as they are";
      Form1 reopened(first.start.seed, tick_handlers());
      prepare(reopened, first.start);
      replay(reopened, 0, again.experiment->actions, opening_target(*again.experiment));
      EXPECT_EQ(first_difference(state_of(reopened), state_of(as_saved)), "");
      converted += opened.actions != first.actions || opened.saved_at != first.saved_at;
      ++files;
    }
  }
  EXPECT_EQ(files, 13);
  EXPECT_GT(converted, 0) << "some ticks the first version skipped lie before a moment";
}

// Links as the page makes them, made here by node (zlib.deflateRawSync, Buffer's base64url):
// the fixtures in links/ and the short ones written in. A damaged one is refused in the page's
// sentence.
TEST(Experiments, ALinkReadsAsThePageWroteItOrIsRefusedInOneSentence) {
  const std::filesystem::path links = std::filesystem::path(__FILE__).parent_path() / "links";
  const std::filesystem::path guided(BRUVIK_EXPERIMENTS_DIR);
  const std::string csma = test::read_file(links / "csma-blind.link");
  const std::string base64 = "This link is damaged: it is not base64url.";
  const std::string inflate = "This link is damaged: its experiment does not inflate.";
  const std::string utf8 = "This link is damaged: its experiment is not UTF-8 text.";
  const std::string none = "This link holds no experiment: it must begin with #e= or #z=.";
  const std::string bomb =
      "This link's experiment inflates to more than 4 MiB, which no experiment does.";
  std::string longest = "#e=";  // base64url of 'A's, as long as a link may be but one byte
  while (longest.size() + 4 <= kMaxLinkBytes) longest += "QUFB";
  struct Case {
    const char* what;
    std::string link;
    std::string text;     // when read
    std::string refusal;  // else
  };
  const Case cases[] = {
      {"dynamic Huffman, a whole address", csma,
       test::read_file(guided / "3-csma-blind-50-ms.bruvik"), ""},
      {"#e=, a file's address", test::read_file(links / "pure-aloha.link"),
       test::read_file(guided / "1-pure-aloha-vulnerable-period.bruvik"), ""},
      {"a stored block, the fragment alone among blanks", " \t#z=AQYA-f9CUlVWSUs\r\n", "BRUVIK",
       ""},
      {"fixed Huffman", "#z=c_Tx93BUcESQAA", "ALOHA ALOHA ALOHA", ""},
      {"blocks that go on, an empty stored one, then the last", "#z=cvTx93BUcASTAAAAAP__c_Tx93AEAA",
       "ALOHA ALOHA ALOHA", ""},
      {"a copy of the one byte written", "#z=SwQCAA", "aaaa", ""},
      {"a dynamic block, every code complete", "#z=BeAhCQAAAAAgbPX_CRE", "a", ""},
      {"inflated to the cap exactly", test::read_file(links / "at-cap.link"),
       std::string(kMaxLinkInflated - 1, 'a') + "b", ""},
      {"the last letter's unused bits, ignored as atob does", "#e=QR", "A", ""},
      {"UTF-8 up to U+10FFFF", "#e=9I-_v8Op4oKs", "\xf4\x8f\xbf\xbf\xc3\xa9\xe2\x82\xac", ""},
      {"as long as a link may be", longest, std::string((longest.size() - 3) / 4 * 3, 'A'), ""},
      {"empty", "#e=", "", ""},

      {"longer than 64 KiB", longest + "QU", "",
       "This link is longer than 64 KiB, the most a link to a moment may be."},
      {"a letter outside base64url", "#e=QUJD+w", "", base64},
      {"padded", "#e=QQ==", "", base64},
      {"a lone last letter", "#e=QUJDR", "", base64},
      {"a blank inside", "#e=QU FB", "", base64},
      {"no last block", "#z=cvTx93BUcASTAAAAAP__", "", inflate},
      {"cut short in a dynamic block", csma.substr(0, csma.size() / 8 * 4), "", inflate},
      {"a stored block whose length check fails", "#z=AQUA-v5oZWxsbw", "", inflate},
      {"a stored block longer than what follows", "#z=AQUA-v9oZWw", "", inflate},
      {"an over-subscribed code", "#z=BQCSBA", "", inflate},
      {"an over-subscribed code of the code lengths, read as far as it goes",
       "#z=BeAlCQAAAAAg_P______6f___________68I", "", inflate},
      {"a dynamic block with a code of its code lengths unused", "#z=BeABCQAAAAAgZLV_CRE", "",
       inflate},
      {"length symbol 286", "#z=SxwDAA", "", inflate},
      {"distance symbol 30", "#z=SwQ-AA", "", inflate},
      {"a copy from before the start", "#z=SwRCAA", "", inflate},
      {"the reserved block type", "#z=Bw", "", inflate},
      {"bytes after the last block", "#z=AQAA__8A", "", inflate},
      {"nothing to inflate", "#z=", "", inflate},
      {"a deflate bomb", test::read_file(links / "over-cap.link"), "", bomb},
      {"one letter over the cap", test::read_file(links / "over-cap-by-a-letter.link"), "", bomb},
      {"a byte no UTF-8 has", "#e=e_99", "", utf8},
      {"an overlong form", "#e=wK8", "", utf8},
      {"a surrogate", "#e=7aCA", "", utf8},
      {"a sequence cut short", "#e=4oI", "", utf8},
      {"past U+10FFFF", "#e=9JCAgA", "", utf8},
      {"an address without a fragment", "https://example.org/bruvik/index.html", "", none},
      {"another fragment", "https://example.org/bruvik/index.html#q=QUFB", "", none},
      {"blanks", " \n ", "", none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const LinkRead read = experiment_text_of_link(c.link);
    EXPECT_EQ(read.refusal, c.refusal);
    if (!c.refusal.empty()) {
      EXPECT_FALSE(read.text);
      continue;
    }
    ASSERT_TRUE(read.text);
    EXPECT_EQ(read.text->size(), c.text.size());
    EXPECT_TRUE(*read.text == c.text);
  }
}

// The guided experiments shipped with the program open, with their question, at their moment.
TEST(Experiments, TheGuidedOnesOpen) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(BRUVIK_EXPERIMENTS_DIR)) {
    ExperimentRead read = read_experiment_file(entry.path().string());
    ASSERT_TRUE(read.experiment) << entry.path() << ": " << read.error;
    EXPECT_FALSE(read.experiment->title.empty() || read.experiment->note.empty()) << entry.path();
    EXPECT_EQ(check_by_replay(*read.experiment, tick_handlers()), "") << entry.path();
    ++files;
  }
  EXPECT_EQ(files, 5);
}

// A title and question typed for a saved run: limits in characters, not bytes; what no file
// should hold (bytes that are not UTF-8, which the file's writer cannot write) refused in one
// sentence; what is kept, trimmed.
TEST(Experiments, ALessonTypedIsKeptTrimmedOrRefusedInOneSentence) {
  std::string long_title;
  for (int i = 0; i < 120; ++i) long_title += "\u00C5";
  const struct {
    std::string title, question, refusal, kept;
  } cases[] = {
      {long_title, "", "", long_title},
      {long_title + "x", "", "The title is 121 characters long, and a title holds at most 120.",
       ""},
      {"  Slot length \n", " Which one?\nWhy? ", "", "Slot length"},
      {"Two\nlines", "", "The title must be one line without tabs or other control characters.",
       ""},
      {"t", "next\xC2\x85line",
       "The question may hold line breaks but no tabs or other control characters.", ""},
      {"\xC3\x28", "", "The title holds bytes that are not UTF-8 text.", ""},
      {"t", "\xE0\x80\xAF", "The question holds bytes that are not UTF-8 text.", ""},  // overlong
      {"\xED\xA0\x80", "", "The title holds bytes that are not UTF-8 text.", ""},  // a surrogate
      {"bus \xF0\x9F\x9A", "", "The title holds bytes that are not UTF-8 text.", ""},  // cut short
  };
  for (const auto& c : cases) {
    const LessonText t = lesson_text(c.title, c.question);
    EXPECT_EQ(t.refusal, c.refusal) << c.title;
    if (c.refusal.empty()) {
      EXPECT_EQ(t.title, c.kept);
    }
  }
  EXPECT_EQ(lesson_text("t", " Which one?\nWhy? ").note, "Which one?\nWhy?");
}

}  // namespace
}  // namespace bruvik
