#include "history/experiment_file.h"

#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <sstream>

#include "history/json_numbers.h"
#include "model/form.h"
#include "model/numtext.h"
#include "model/runtime_error.h"

namespace bruvik {
namespace {

using Json = nlohmann::ordered_json;

// What is refused, with where it is: thrown while checking, caught once.
struct Refusal {
  std::string text;
};

[[noreturn]] void refuse(const std::string& where, const std::string& what) {
  throw Refusal{where.empty() ? what : where + ": " + what};
}

// Deeper than any experiment needs; keeps a hostile file from costing the stack.
constexpr int kMaxDepth = 16;
constexpr std::size_t kMaxText = 10000;
constexpr VirtualMs kMaxMs = 1'000'000'000;
// Every tick counts in a moment, several a millisecond: more than 32 bits in a long run. The
// largest whole number a JSON reader in a browser still reads exactly.
constexpr std::uint64_t kMaxTick = (std::uint64_t{1} << 53) - 1;
constexpr std::uint64_t kFirstExperimentVersion = 1;

const char* type_name(const Json& v) {
  if (v.is_object()) return "an object";
  if (v.is_array()) return "a list";
  if (v.is_string()) return "a text";
  if (v.is_boolean()) return "true or false";
  if (v.is_null()) return "null";
  if (v.is_number_float()) return "a number with a fraction";
  return "a number";
}

const Json& member(const Json& object, const std::string& where, const char* key) {
  const auto it = object.find(key);
  if (it == object.end()) refuse(where, std::string("\"") + key + "\" is missing");
  return *it;
}

void only_members(const Json& object, const std::string& where,
                  std::initializer_list<const char*> known) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    bool ok = false;
    for (const char* k : known) ok = ok || it.key() == k;
    if (!ok) refuse(where, "\"" + it.key() + "\" is not a member this file format has");
  }
}

const Json& object_of(const Json& v, const std::string& where) {
  if (!v.is_object()) refuse(where, std::string("must be an object, not ") + type_name(v));
  return v;
}

std::string text_of(const Json& v, const std::string& where) {
  if (!v.is_string()) refuse(where, std::string("must be a text, not ") + type_name(v));
  const std::string& s = v.get_ref<const std::string&>();
  if (s.size() > kMaxText) refuse(where, "is longer than " + std::to_string(kMaxText) + " bytes");
  return s;
}

std::uint64_t whole_of(const Json& v, const std::string& where, std::uint64_t low,
                       std::uint64_t high) {
  const std::string range = std::to_string(low) + " to " + std::to_string(high);
  if (v.is_number_unsigned()) {
    const auto n = v.get<std::uint64_t>();
    if (n >= low && n <= high) return n;
  } else if (v.is_number_integer()) {
    const auto n = v.get<std::int64_t>();
    if (n >= 0 && static_cast<std::uint64_t>(n) >= low && static_cast<std::uint64_t>(n) <= high) {
      return static_cast<std::uint64_t>(n);
    }
  } else {
    refuse(where, std::string("must be a whole number from ") + range + ", not " + type_name(v));
  }
  refuse(where, "must be from " + range + ", not " + v.dump());
}

UserAction action_of(const Json& v, const std::string& where) {
  object_of(v, where);
  UserAction a;
  const std::string name = text_of(member(v, where, "do"), where + ".do");
  if (!action_kind_named(name, a.kind)) {
    refuse(where + ".do",
           "\"" + name + "\" is not an action (click, option, key, type or data_amount)");
  }
  switch (a.kind) {
    case ActionKind::Click:
    case ActionKind::Option:
      only_members(v, where, {"ms", "tick", "do", "control"});
      break;
    case ActionKind::Key:
      only_members(v, where, {"ms", "tick", "do", "control", "key"});
      a.key = static_cast<int>(whole_of(member(v, where, "key"), where + ".key", 0, 65535));
      break;
    case ActionKind::Type:
      only_members(v, where, {"ms", "tick", "do", "control", "text"});
      a.text = text_of(member(v, where, "text"), where + ".text");
      break;
    case ActionKind::DataAmount:
      only_members(v, where, {"ms", "tick", "do", "control", "text"});
      a.text = text_of(member(v, where, "text"), where + ".text");
      break;
  }
  a.time = static_cast<VirtualMs>(whole_of(member(v, where, "ms"), where + ".ms", 0, kMaxMs));
  if (const auto t = v.find("tick"); t != v.end()) {
    a.ticks = whole_of(*t, where + ".tick", 0, kMaxTick);
  }
  a.control = text_of(member(v, where, "control"), where + ".control");
  if (const std::string problem = action_problem(a); !problem.empty()) refuse(where, problem);
  return a;
}

StartSettings settings_of(const Json& v, std::uint64_t seed) {
  const std::string where = "settings";
  object_of(v, where);
  only_members(v, where, {"mtu", "rate", "frame_length", "data_amount"});
  StartSettings s;
  s.seed = seed;
  s.mtu = static_cast<int>(whole_of(member(v, where, "mtu"), where + ".mtu", 1, 10));
  s.rate = static_cast<int>(whole_of(member(v, where, "rate"), where + ".rate", 1, 10));
  s.frame_length =
      static_cast<int>(whole_of(member(v, where, "frame_length"), where + ".frame_length", 1, 10));
  s.data_amount = text_of(member(v, where, "data_amount"), where + ".data_amount");
  if (!numtext::leading_number(s.data_amount)) {
    refuse(where + ".data_amount", "must begin with a number that can be held");
  }
  return s;
}

Experiment experiment_of(const Json& doc) {
  object_of(doc, "the file");
  only_members(doc, "",
               {"format", "version", "title", "note", "seed", "settings", "saved_at", "actions"});
  const Json& format = member(doc, "", "format");
  if (!format.is_string() || format.get_ref<const std::string&>() != kExperimentFormat) {
    refuse("format", "must be \"" + std::string(kExperimentFormat) + "\", not " + format.dump());
  }
  const std::uint64_t version =
      whole_of(member(doc, "", "version"), "version", 0, std::numeric_limits<std::uint32_t>::max());
  if (version < kFirstExperimentVersion) {
    refuse("version", std::to_string(version) + " is older than any BRUVIK wrote (the first is " +
                          std::to_string(kFirstExperimentVersion) + ")");
  }
  if (version > static_cast<std::uint64_t>(kExperimentVersion)) {
    refuse("version", std::to_string(version) + " is newer than this BRUVIK reads (" +
                          std::to_string(kExperimentVersion) + ")");
  }
  Experiment e;
  if (version == 1) e.ticks = TickCount::FirstVersion;
  if (const auto t = doc.find("title"); t != doc.end()) e.title = text_of(*t, "title");
  if (const auto n = doc.find("note"); n != doc.end()) e.note = text_of(*n, "note");
  const std::uint64_t seed =
      whole_of(member(doc, "", "seed"), "seed", 0, std::numeric_limits<std::uint64_t>::max());
  e.start = settings_of(member(doc, "", "settings"), seed);

  const Json& actions = member(doc, "", "actions");
  if (!actions.is_array()) {
    refuse("actions", std::string("must be a list, not ") + type_name(actions));
  }
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const std::string where = "actions[" + std::to_string(i) + "]";
    UserAction a = action_of(actions[i], where);
    if (!e.actions.empty()) {
      const UserAction& prev = e.actions.back();
      if (a.time < prev.time) {
        refuse(where + ".ms", std::to_string(a.time) + " is earlier than the action before it (" +
                                  std::to_string(prev.time) + ")");
      }
      if (a.ticks && prev.ticks && *a.ticks < *prev.ticks) {
        refuse(where + ".tick", std::to_string(*a.ticks) +
                                    " is earlier than the action before it (" +
                                    std::to_string(*prev.ticks) + ")");
      }
    }
    e.actions.push_back(std::move(a));
  }

  if (const auto s = doc.find("saved_at"); s != doc.end()) {
    object_of(*s, "saved_at");
    only_members(*s, "saved_at", {"ms", "tick", "actions"});
    Target t;
    t.time =
        static_cast<VirtualMs>(whole_of(member(*s, "saved_at", "ms"), "saved_at.ms", 0, kMaxMs));
    if (const auto k = s->find("tick"); k != s->end()) {
      t.ticks = whole_of(*k, "saved_at.tick", 0, kMaxTick);
    }
    t.actions = static_cast<std::size_t>(
        whole_of(member(*s, "saved_at", "actions"), "saved_at.actions", 0, e.actions.size()));
    if (t.actions > 0 && e.actions[t.actions - 1].time > t.time) {
      refuse("saved_at.ms", "lies before the last action it counts");
    }
    e.saved_at = t;
  }
  return e;
}

Json action_json(const UserAction& a) {
  Json j;
  j["ms"] = a.time;
  if (a.ticks) j["tick"] = *a.ticks;
  j["do"] = std::string(action_kind_name(a.kind));
  j["control"] = a.control;
  if (a.kind == ActionKind::Key) j["key"] = a.key;
  if (a.kind == ActionKind::Type || a.kind == ActionKind::DataAmount) j["text"] = a.text;
  return j;
}

}  // namespace

std::string experiment_json(const Experiment& e) {
  Json doc;
  doc["format"] = std::string(kExperimentFormat);
  // Ticks not yet brought to today's count are written as the version that counts them so.
  doc["version"] = e.ticks == TickCount::FirstVersion ? 1 : kExperimentVersion;
  if (!e.title.empty()) doc["title"] = e.title;
  if (!e.note.empty()) doc["note"] = e.note;
  doc["seed"] = e.start.seed;
  doc["settings"] = Json{{"mtu", e.start.mtu},
                         {"rate", e.start.rate},
                         {"frame_length", e.start.frame_length},
                         {"data_amount", e.start.data_amount}};
  if (e.saved_at) {
    Json s;
    s["ms"] = e.saved_at->time;
    if (e.saved_at->ticks) s["tick"] = *e.saved_at->ticks;
    s["actions"] = e.saved_at->actions;
    doc["saved_at"] = s;
  }
  doc["actions"] = Json::array();
  for (const UserAction& a : e.actions) doc["actions"].push_back(action_json(a));
  // Texts the user typed may hold bytes that are not UTF-8: they are written replaced.
  return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

ExperimentRead parse_experiment(std::string_view text) {
  ExperimentRead out;
  if (text.size() > kMaxExperimentBytes) {
    out.error = "the file is larger than 10 MB, which no experiment is.";
    return out;
  }
  bool too_deep = false;
  const Json::parser_callback_t depth_guard = [&](int depth, Json::parse_event_t, Json&) {
    if (depth > kMaxDepth) too_deep = true;
    return !too_deep;
  };
  Json doc;
  try {
    doc = Json::parse(text.begin(), text.end(), depth_guard);
  } catch (const Json::parse_error& e) {
    std::string what = e.what();
    if (const auto at = what.find("] "); at != std::string::npos) what = what.substr(at + 2);
    out.error = "it is not JSON (" + what + ").";
    return out;
  } catch (const Json::exception& e) {
    // A number beyond what a double holds ("9e9999") is not a parse error to nlohmann.
    std::string what = e.what();
    if (const auto at = what.find("] "); at != std::string::npos) what = what.substr(at + 2);
    out.error = "it holds a number too large to read (" + what + ").";
    return out;
  }
  if (too_deep) {
    out.error =
        "it nests deeper than " + std::to_string(kMaxDepth) + " levels, which no experiment does.";
    return out;
  }
  try {
    out.experiment = experiment_of(doc);
  } catch (const Refusal& r) {
    out.error = r.text + ".";
  }
  return out;
}

ExperimentRead read_experiment_file(const std::string& path) {
  ExperimentRead out;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    out.error = "it cannot be opened.";
    return out;
  }
  std::string text;
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    text.append(buf, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxExperimentBytes) {
      out.error = "the file is larger than 10 MB, which no experiment is.";
      return out;
    }
  }
  if (in.bad()) {
    out.error = "it cannot be read.";
    return out;
  }
  return parse_experiment(text);
}

std::string check_by_replay(Experiment& e, const TickHandlers& handlers) {
  const TickCount count = e.ticks;
  // The moments as the file counts them. The saved moment may lie before later actions, so it
  // is reached in a replay of its own, by these.
  const std::vector<UserAction> as_read = e.actions;
  const Target opening = opening_target(e);
  try {
    // Every action in turn, each given the tick it comes after.
    Form1 form(e.start.seed, handlers);
    if (const std::string refused = prepare(form, e.start); !refused.empty()) {
      return "settings.data_amount: " + refused;
    }
    for (std::size_t k = 0; k < e.actions.size(); ++k) {
      replay(form, k, as_read, {as_read[k].time, as_read[k].ticks, k + 1}, count);
      e.actions[k].ticks = form.clock().ticks();
    }
    // And the moment it opens at, among them.
    Form1 opened(e.start.seed, handlers);
    prepare(opened, e.start);
    replay(opened, 0, as_read, opening, count);
    if (e.saved_at && e.saved_at->ticks) e.saved_at->ticks = opened.clock().ticks();
  } catch (const ReplayError& err) {
    return std::string(err.what()) + ".";
  } catch (const RuntimeError& err) {
    return std::string("replaying it ends the run with ") + err.what() + ".";
  }
  e.ticks = TickCount::Rule;
  return "";
}

namespace {

ExperimentRead checked(ExperimentRead read, const TickHandlers& handlers) {
  if (read.experiment) {
    read.error = check_by_replay(*read.experiment, handlers);
    if (!read.error.empty()) read.experiment.reset();
  }
  return read;
}

}  // namespace

ExperimentRead open_experiment_file(const std::string& path, const TickHandlers& handlers) {
  return checked(read_experiment_file(path), handlers);
}

ExperimentRead open_experiment_text(std::string_view text, const TickHandlers& handlers) {
  return checked(parse_experiment(text), handlers);
}

std::string experiment_refusal(std::string_view file, const std::string& error) {
  const std::string name(file);
  if (error == "it cannot be opened." || error == "it cannot be read.") {
    return name + " cannot be " + (error == "it cannot be read." ? "read." : "opened.");
  }
  return name + " is not a BRUVIK experiment: " + error;
}

Target opening_target(const Experiment& e) {
  if (e.saved_at) return *e.saved_at;
  Target t;
  t.actions = e.actions.size();
  t.time = e.actions.empty() ? 0 : e.actions.back().time;
  t.ticks = e.actions.empty() ? std::optional<std::uint64_t>(0) : e.actions.back().ticks;
  return t;
}

}  // namespace bruvik
