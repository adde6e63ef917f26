#include "program/cli.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "model/numtext.h"

namespace bruvik {
namespace {

struct Refusal : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Every option in the order --help lists them; `value` names what a valued option takes.
struct OptionSpec {
  const char* name;
  const char* value;  // null for a switch
  const char* help;
};

constexpr OptionSpec kOptions[] = {
    {"help", nullptr, "Show this help and exit."},
    {"version", nullptr, "Show the version and exit."},
    {"seed", "N",
     "Seed of the random generator, 0 to 18446744073709551615; the same seed gives the same run. "
     "Default: drawn once and shown."},
    {"mtu", "M", "Network MTU, 1 to 10 (default 5), set with its buttons."},
    {"rate", "R", "Data sending rate, 1 to 10 (default 5), set with its buttons."},
    {"frame-length", "F", "Average frame length, 1 to 10 (default 5), set with its buttons."},
    {"data-amount", "A", "Data amount typed into its box; must begin with a number (default 100)."},
    {"headless", nullptr,
     "Run in the terminal without a window: one whole run, or --runs, --sweep."},
    {"format", "FORMAT", "Terminal output: text (default), json or csv."},
    {"max-time", "MS",
     "Stop a terminal run after MS virtual milliseconds, 1 to 1000000000 (default 3600000, one "
     "hour)."},
    {"dump-at", "MS",
     "With --headless: run to MS virtual milliseconds, 0 to 1000000000, print the whole window "
     "state as JSON and exit."},
    {"screenshot", "FILE", "Render the window without a display to this PNG file and exit."},
    {"at", "MS",
     "With --screenshot: take it after MS virtual milliseconds, 0 to 1000000000 (default 0)."},
    {"start", nullptr, "With --screenshot or --dump-at: press \"EnableThe Computers\" at time 0."},
    {"runs", "K", "With --headless: K runs with seeds N, N+1, ..., 1 to 100000 (default 1)."},
    {"threads", "N", "With --runs or --sweep: worker threads, 1 to 256 (default: all cores)."},
    {"sweep", "NAME=FROM..TO",
     "With --headless: one block of figures per value of NAME (rate, mtu, frame-length 1 to 10; "
     "data-amount -1000000 to 1000000), FROM..TO with an optional :STEP (default 1)."},
    {"plot", "FILE",
     "With --sweep: draw throughput against the swept value to FILE (.png or .svg)."},
    {"trace", "FILE", "With --headless (one run): write every event of the run to FILE as CSV."},
    {"speed", "X", "Window speed: 0.25, 0.5, 1 (default), 2, 5, 10, 50 or max."},
    {"axis", "AXIS",
     "With --plot: value (default) draws throughput against the swept value; load draws "
     "throughput on the bus against offered load, beside the textbook curves."},
    {"replay", "FILE",
     "With --headless or --screenshot: the run of an experiment file, its seed and settings from "
     "the file; the terminal run goes on from the moment it was saved, --dump-at and --at replay "
     "the file's actions up to MS (--at defaults to the saved moment)."},
    {"save-experiment", "FILE", "With a single terminal run: write its experiment file to FILE."},
    {"timeline", "FILE",
     "With --headless (one run): draw the timeline of the bus to FILE (.svg or .png); the run is "
     "printed as usual."},
    {"from", "MS",
     "With --timeline: begin at MS virtual milliseconds, 0 to 1000000000 (default 0)."},
    {"to", "MS",
     "With --timeline: end at MS virtual milliseconds, 0 to 1000000000 (default: the end of the "
     "run)."},
    {"with-timeline", nullptr, "With --screenshot: include the timeline pane under the window."},
};

constexpr const char* kDescription =
    "BRUVIK: a teaching simulator of medium-access methods on a shared bus. Ten stations share "
    "one bus; a run takes pure ALOHA, slotted ALOHA, 1-persistent, non-persistent and "
    "p-persistent CSMA/CD in turn and ranks them by throughput.\n\nWithout options it opens the "
    "window.";
constexpr const char* kFileHelp = "An experiment file (.bruvik) to open in the window.";

std::size_t option_index(std::string_view name) {
  if (name == "h") return 0;
  for (std::size_t i = 0; i < std::size(kOptions); ++i) {
    if (name == kOptions[i].name) return i;
  }
  return std::size(kOptions);
}

// The option's words as --help shows them: "-h, --help", "--seed <N>".
std::string option_words(const OptionSpec& o) {
  std::string words = std::string(o.name) == "help" ? "-h, --help" : "--" + std::string(o.name);
  if (o.value) words += " <" + std::string(o.value) + ">";
  return words;
}

// A help entry: the words in a column, the text wrapped at word breaks to end by column 79.
void help_entry(std::string& out, const std::string& words, std::size_t column,
                std::string_view text) {
  const std::size_t width = 79 - (2 + column + 1);
  bool first = true;
  while (!text.empty()) {
    std::size_t cut = text.size();
    if (cut > width) {
      cut = text.rfind(' ', width);
      if (cut == std::string_view::npos || cut == 0) cut = width;
    }
    std::string name = first ? words : "";
    name.resize(column, ' ');
    out += "  " + name + " " + std::string(text.substr(0, cut)) + "\n";
    text.remove_prefix(cut);
    if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    first = false;
  }
}

std::string help_text() {
  std::size_t column = 0;
  for (const OptionSpec& o : kOptions) column = std::max(column, option_words(o).size());
  column = std::min<std::size_t>(50, column + 1);
  std::string out =
      "Usage: bruvik [options] [FILE]\n" + std::string(kDescription) + "\n\nOptions:\n";
  for (const OptionSpec& o : kOptions) help_entry(out, option_words(o), column, o.help);
  out += "\nArguments:\n";
  help_entry(out, "FILE", column, kFileHelp);
  return out;
}

// Each word as valid UTF-8: a byte that begins no character is read as U+FFFD and a leading
// byte order mark is dropped, as Qt reads text, so a data amount prints the same whichever
// front took it.
std::string valid_utf8(std::string_view in) {
  static constexpr char kReplacement[] = "\xEF\xBF\xBD";
  if (in.starts_with("\xEF\xBB\xBF")) in.remove_prefix(3);
  std::string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    const auto b = static_cast<unsigned char>(in[i]);
    if (b < 0x80) {
      out += in[i++];
      continue;
    }
    std::size_t need = 0;
    char32_t c = 0, least = 0;
    if (b >= 0xC2 && b < 0xE0) {
      need = 2, c = b & 0x1F, least = 0x80;
    } else if (b >= 0xE0 && b < 0xF0) {
      need = 3, c = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b < 0xF5) {
      need = 4, c = b & 0x07, least = 0x10000;
    }
    bool ok = need > 0 && i + need <= in.size();
    for (std::size_t k = 1; ok && k < need; ++k) {
      const auto next = static_cast<unsigned char>(in[i + k]);
      ok = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    ok = ok && c >= least && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    if (ok) {
      out.append(in.substr(i, need));
      i += need;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

// The length of a blank that begins `s` (Unicode spaces, as a text box trims them), or 0.
std::size_t leading_blank(std::string_view s) {
  if (s.empty()) return 0;
  const auto b = static_cast<unsigned char>(s[0]);
  if (b == ' ' || (b >= 0x09 && b <= 0x0D)) return 1;
  static constexpr std::string_view kBlanks[] = {"\u0085", "\u00A0", "\u1680", "\u2000", "\u2001",
                                                 "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
                                                 "\u2007", "\u2008", "\u2009", "\u200A", "\u2028",
                                                 "\u2029", "\u202F", "\u205F", "\u3000"};
  for (std::string_view blank : kBlanks) {
    if (s.starts_with(blank)) return blank.size();
  }
  return 0;
}

std::size_t trailing_blank(std::string_view s) {
  for (std::size_t n = 1; n <= std::min<std::size_t>(3, s.size()); ++n) {
    const std::string_view tail = s.substr(s.size() - n);
    if (leading_blank(tail) == n) return n;
  }
  return 0;
}

std::string trimmed(std::string_view s) {
  while (const std::size_t n = leading_blank(s)) s.remove_prefix(n);
  while (const std::size_t n = trailing_blank(s)) s.remove_suffix(n);
  return std::string(s);
}

std::string lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

bool ends_with(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string quoted(std::string_view s) {
  return "\"" + std::string(s) + "\"";
}

// A whole number in [low, high], written as plain digits (a leading minus where low < 0).
long long whole_number(const std::string& name, std::string_view value, long long low,
                       long long high) {
  const std::string text = trimmed(value);
  long long v = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(first, last, v);
  if (text.empty() || ec != std::errc() || ptr != last || v < low || v > high) {
    throw Refusal("--" + name + " must be a whole number from " + std::to_string(low) + " to " +
                  std::to_string(high) + ", not " + quoted(value) + ".");
  }
  return v;
}

std::uint64_t seed_number(const std::string& value) {
  const std::string text = trimmed(value);
  std::uint64_t v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) {
    throw Refusal("--seed must be a whole number from 0 to 18446744073709551615, not " +
                  quoted(value) + ".");
  }
  return v;
}

double speed_value(const std::string& value) {
  const std::string v = lower(trimmed(value));
  if (v == "max" || v == "fastest") return 0;
  static const char* const kSpeeds[] = {"0.25", "0.5", "1", "2", "5", "10", "50"};
  for (const char* s : kSpeeds) {
    if (v == s || v == std::string(s) + "x") return std::stod(s);
  }
  throw Refusal("--speed must be one of 0.25, 0.5, 1, 2, 5, 10, 50 or max, not " + quoted(value) +
                ".");
}

Sweep sweep_value(const std::string& value) {
  const std::string v = trimmed(value);
  const auto fail = [&] {
    throw Refusal(
        "--sweep must look like NAME=FROM..TO or NAME=FROM..TO:STEP with NAME one of rate, mtu, "
        "frame-length or data-amount, not " +
        quoted(value) + ".");
  };
  const std::size_t eq = v.find('=');
  const std::size_t dots = v.find("..");
  if (eq == std::string::npos || eq == 0 || dots == std::string::npos || dots <= eq + 1) fail();
  Sweep s;
  s.name = v.substr(0, eq);
  std::string_view to_part = std::string_view(v).substr(dots + 2);
  std::optional<std::string_view> step_part;
  if (const std::size_t colon = to_part.find(':'); colon != std::string_view::npos) {
    step_part = to_part.substr(colon + 1);
    to_part = to_part.substr(0, colon);
  }
  long long low = 1;
  long long high = 10;
  if (s.name == "data-amount") {
    low = -1000000;
    high = 1000000;
  } else if (s.name != "rate" && s.name != "mtu" && s.name != "frame-length") {
    fail();
  }
  const std::string option = "sweep " + s.name;
  s.from = whole_number(option, std::string_view(v).substr(eq + 1, dots - eq - 1), low, high);
  s.to = whole_number(option, to_part, low, high);
  if (step_part) s.step = whole_number("sweep step", *step_part, 1, high - low + 1);
  if (s.from > s.to) {
    throw Refusal("--sweep must go upwards: FROM must not be above TO in " + quoted(value) + ".");
  }
  if ((s.to - s.from) / s.step + 1 > 1000) {
    throw Refusal("--sweep may take at most 1000 values; use a larger STEP in " + quoted(value) +
                  ".");
  }
  return s;
}

std::string file_name(const std::string& option, const std::string& value) {
  if (trimmed(value).empty()) {
    throw Refusal((option.starts_with("the ") ? "" : "--") + option + " needs a file name.");
  }
  return value;
}

// The words read into options and their values. Words are read as the usual Unix command line
// with long options: "--name value", "--name=value", one dash as good as two, "--" ending the
// options. Every word is read before any refusal, so an unknown option is named even after a
// malformed one.
struct Words {
  std::vector<std::vector<std::string>> values;  // per option
  std::vector<bool> given;                       // per option
  std::vector<std::string> names;                // each option given, as it was typed
  std::vector<std::string> files;
  std::vector<std::string> unknown;
  std::string error;

  explicit Words(const std::vector<std::string>& words)
      : values(std::size(kOptions)), given(std::size(kOptions)) {
    bool only_files = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
      const std::string& word = words[i];
      if (only_files || word.size() < 2 || word[0] != '-') {
        files.push_back(word);
        continue;
      }
      if (word == "--") {
        only_files = true;
        continue;
      }
      const std::size_t dashes = word[1] == '-' ? 2 : 1;
      const std::size_t assign = word.find('=');
      const std::string name =
          word.substr(dashes, assign == std::string::npos ? std::string::npos : assign - dashes);
      const std::size_t index = option_index(name);
      if (index == std::size(kOptions)) {
        unknown.push_back(name);
        continue;
      }
      given[index] = true;
      names.push_back(name);
      if (!kOptions[index].value) {
        if (assign != std::string::npos) {
          error = "Unexpected value after '" + word.substr(0, assign) + "'.";
        }
      } else if (assign != std::string::npos) {
        values[index].push_back(word.substr(assign + 1));
      } else if (i + 1 == words.size()) {
        error = "Missing value after '" + word + "'.";
      } else {
        values[index].push_back(words[++i]);
      }
    }
  }

  std::string error_text() const {
    if (!error.empty() || unknown.empty()) return error;
    if (unknown.size() == 1) return "Unknown option '" + unknown[0] + "'.";
    std::string all = unknown[0];
    for (std::size_t i = 1; i < unknown.size(); ++i) all += ", " + unknown[i];
    return "Unknown options: " + all + ".";
  }
};

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& arguments) {
  CommandLine out;
  std::vector<std::string> words;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    out.options.arguments.push_back(arguments[i]);
    words.push_back(valid_utf8(arguments[i]));
  }
  const Words w(words);
  const auto is_set = [&](const char* name) { return bool(w.given[option_index(name)]); };
  // The last value given, as a repeated option is refused before any is read.
  const auto value = [&](const char* name) -> const std::string& {
    return w.values[option_index(name)].back();
  };

  try {
    if (const std::string error = w.error_text(); !error.empty()) throw Refusal(error);
    if (is_set("help")) {
      out.action = CommandLine::Action::Help;
      out.text = help_text();
      return out;
    }
    if (is_set("version")) {
      out.action = CommandLine::Action::Version;
      out.text = "bruvik " BRUVIK_VERSION;
      return out;
    }
    const std::vector<std::string>& files = w.files;
    if (files.size() > 1) {
      throw Refusal("bruvik opens one experiment file at a time, not " + quoted(files[0]) +
                    " and " + quoted(files[1]) + ". Try --help.");
    }
    for (const std::string& name : w.names) {
      if (name != "start" && name != "headless" && w.values[option_index(name)].size() > 1) {
        throw Refusal("--" + name + " was given more than once.");
      }
    }

    Options& o = out.options;
    if (is_set("seed")) o.seed = seed_number(value("seed"));
    if (is_set("mtu")) o.mtu = static_cast<int>(whole_number("mtu", value("mtu"), 1, 10));
    if (is_set("rate")) o.rate = static_cast<int>(whole_number("rate", value("rate"), 1, 10));
    if (is_set("frame-length")) {
      o.frame_length = static_cast<int>(whole_number("frame-length", value("frame-length"), 1, 10));
    }
    if (is_set("data-amount")) {
      o.data_amount = value("data-amount");
      if (!numtext::leading_number(o.data_amount)) {
        throw Refusal("--data-amount must begin with a number that can be held, not " +
                      quoted(o.data_amount) + ".");
      }
    }
    o.headless = is_set("headless");
    if (is_set("format")) {
      const std::string f = lower(trimmed(value("format")));
      if (f == "text") {
        o.format = OutputFormat::Text;
      } else if (f == "json") {
        o.format = OutputFormat::Json;
      } else if (f == "csv") {
        o.format = OutputFormat::Csv;
      } else {
        throw Refusal("--format must be text, json or csv, not " + quoted(value("format")) + ".");
      }
    }
    if (is_set("max-time")) o.max_time = whole_number("max-time", value("max-time"), 1, 1000000000);
    if (is_set("dump-at")) o.dump_at = whole_number("dump-at", value("dump-at"), 0, 1000000000);
    if (is_set("screenshot")) o.screenshot = file_name("screenshot", value("screenshot"));
    if (is_set("at")) o.at = whole_number("at", value("at"), 0, 1000000000);
    o.start = is_set("start");
    if (is_set("runs")) o.runs = static_cast<int>(whole_number("runs", value("runs"), 1, 100000));
    if (is_set("threads")) {
      o.threads = static_cast<int>(whole_number("threads", value("threads"), 1, 256));
    }
    if (is_set("sweep")) o.sweep = sweep_value(value("sweep"));
    if (is_set("plot")) o.plot = file_name("plot", value("plot"));
    if (is_set("axis")) {
      const std::string a = lower(trimmed(value("axis")));
      if (a != "load" && a != "value") {
        throw Refusal("--axis must be load or value, not " + quoted(value("axis")) + ".");
      }
      o.plot_axis = a == "load" ? PlotAxis::Load : PlotAxis::Value;
    }
    if (is_set("trace")) o.trace = file_name("trace", value("trace"));
    if (is_set("timeline")) o.timeline = file_name("timeline", value("timeline"));
    if (is_set("from")) o.timeline_from = whole_number("from", value("from"), 0, 1000000000);
    if (is_set("to")) o.timeline_to = whole_number("to", value("to"), 0, 1000000000);
    o.with_timeline = is_set("with-timeline");
    if (is_set("speed")) o.speed = speed_value(value("speed"));
    if (!files.empty()) o.experiment = file_name("the experiment", files[0]);
    if (is_set("replay")) {
      if (o.experiment) {
        throw Refusal("give the experiment file once: as --replay FILE or as FILE, not both.");
      }
      o.experiment = file_name("replay", value("replay"));
    }
    if (is_set("save-experiment")) {
      o.save_experiment = file_name("save-experiment", value("save-experiment"));
    }
    o.at_given = is_set("at");

    // Options that belong to one mode only, and modes that exclude each other.
    const auto needs = [&](const char* option, bool ok, const char* sentence) {
      if (is_set(option) && !ok) throw Refusal(sentence);
    };
    needs("screenshot", !o.headless,
          "--screenshot renders the window and cannot be combined with --headless.");
    needs("at", o.screenshot.has_value(), "--at goes with --screenshot FILE.");
    needs("dump-at", o.headless, "--dump-at goes with --headless.");
    needs("start", o.screenshot.has_value() || o.dump_at.has_value(),
          "--start goes with --screenshot FILE or --headless --dump-at MS.");
    needs("format", o.headless && !o.dump_at,
          "--format goes with a terminal run (--headless without --dump-at).");
    needs("max-time", o.headless && !o.dump_at,
          "--max-time goes with a terminal run (--headless without --dump-at).");
    needs("runs", o.headless && !o.dump_at,
          "--runs goes with --headless (and not with --dump-at).");
    needs("sweep", o.headless && !o.dump_at,
          "--sweep goes with --headless (and not with --dump-at).");
    needs("threads", o.headless && !o.dump_at,
          "--threads goes with --headless --runs K or --sweep.");
    needs("plot", o.sweep.has_value(), "--plot goes with --sweep NAME=FROM..TO.");
    needs("axis", o.plot.has_value(), "--axis goes with --plot FILE.");
    needs("trace", o.headless && !o.dump_at && o.runs == 1 && !o.sweep,
          "--trace goes with a single terminal run (--headless, without --runs, --sweep or "
          "--dump-at).");
    needs("timeline", o.headless && !o.dump_at && o.runs == 1 && !o.sweep,
          "--timeline goes with a single terminal run (--headless, without --runs, --sweep or "
          "--dump-at).");
    needs("from", o.timeline.has_value(), "--from goes with --timeline FILE.");
    needs("to", o.timeline.has_value(), "--to goes with --timeline FILE.");
    needs("with-timeline", o.screenshot.has_value(),
          "--with-timeline goes with --screenshot FILE.");
    needs("speed", !o.headless && !o.screenshot, "--speed goes with the window.");
    if (!files.empty() && (o.headless || o.screenshot)) {
      throw Refusal(
          "a file to open goes with the window; for the terminal or a screenshot use --replay " +
          files[0] + ".");
    }
    needs("replay", o.headless || o.screenshot,
          "--replay goes with --headless or --screenshot FILE; to open an experiment in the "
          "window give it alone: bruvik FILE.");
    if (o.experiment) {
      for (const char* setting : {"seed", "mtu", "rate", "frame-length", "data-amount"}) {
        if (is_set(setting)) {
          throw Refusal("--" + std::string(setting) +
                        " cannot be given with an experiment file: the file holds the seed and "
                        "the settings of its run.");
        }
      }
    }
    needs("start", !o.experiment,
          "--start cannot be given with an experiment file: the file holds what was pressed.");
    needs("runs", !o.experiment, "--runs cannot be given with --replay: a file holds one run.");
    needs("sweep", !o.experiment, "--sweep cannot be given with --replay: a file holds one run.");
    needs("save-experiment", o.headless && !o.dump_at && o.runs == 1 && !o.sweep && !o.experiment,
          "--save-experiment goes with a single terminal run (--headless, without --runs, "
          "--sweep, --dump-at or --replay).");
    if (o.sweep && o.sweep->name == "data-amount" && is_set("data-amount")) {
      throw Refusal("--data-amount cannot be given together with --sweep data-amount=...");
    }
    if (o.sweep && is_set(o.sweep->name.c_str())) {
      throw Refusal("--" + o.sweep->name + " cannot be given together with --sweep " +
                    o.sweep->name + "=...");
    }
    if (o.plot && !ends_with(lower(*o.plot), ".png") && !ends_with(lower(*o.plot), ".svg")) {
      throw Refusal("--plot needs a file name ending in .png or .svg, not " + quoted(*o.plot) +
                    ".");
    }
    if (o.timeline && !ends_with(lower(*o.timeline), ".png") &&
        !ends_with(lower(*o.timeline), ".svg")) {
      throw Refusal("--timeline needs a file name ending in .svg or .png, not " +
                    quoted(*o.timeline) + ".");
    }
    if (o.timeline_from && o.timeline_to && *o.timeline_from >= *o.timeline_to) {
      throw Refusal("--from must be before --to, and " + std::to_string(*o.timeline_from) +
                    " is not before " + std::to_string(*o.timeline_to) + ".");
    }
  } catch (const Refusal& r) {
    out.action = CommandLine::Action::Refuse;
    out.text = std::string("bruvik: ") + r.what();
  }
  return out;
}

std::optional<int> answer_without_running(const CommandLine& line) {
  switch (line.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
      std::fputs((line.text + "\n").c_str(), stdout);
      return 0;
    case CommandLine::Action::Refuse:
      std::fputs((line.text + "\n").c_str(), stderr);
      return kUsageError;
    case CommandLine::Action::Run:
      break;
  }
  return std::nullopt;
}

}  // namespace bruvik
