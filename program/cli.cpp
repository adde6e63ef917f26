#include "program/cli.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <charconv>
#include <limits>
#include <stdexcept>

#include "model/numtext.h"

namespace bruvik {
namespace {

struct Refusal : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string quoted(const QString& s) {
  return "\"" + s.toStdString() + "\"";
}

// A whole number in [low, high], written as plain digits (a leading minus where low < 0).
long long whole_number(const QString& name, const QString& value, long long low, long long high) {
  const std::string text = value.trimmed().toStdString();
  long long v = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(first, last, v);
  if (text.empty() || ec != std::errc() || ptr != last || v < low || v > high) {
    throw Refusal("--" + name.toStdString() + " must be a whole number from " +
                  std::to_string(low) + " to " + std::to_string(high) + ", not " + quoted(value) +
                  ".");
  }
  return v;
}

std::uint64_t seed_number(const QString& value) {
  const std::string text = value.trimmed().toStdString();
  std::uint64_t v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) {
    throw Refusal("--seed must be a whole number from 0 to 18446744073709551615, not " +
                  quoted(value) + ".");
  }
  return v;
}

double speed_value(const QString& value) {
  const QString v = value.trimmed().toLower();
  if (v == "max" || v == "fastest") return 0;
  static const char* const kSpeeds[] = {"0.25", "0.5", "1", "2", "5", "10", "50"};
  for (const char* s : kSpeeds) {
    if (v == s || v == QString(s) + "x") return std::stod(s);
  }
  throw Refusal("--speed must be one of 0.25, 0.5, 1, 2, 5, 10, 50 or max, not " + quoted(value) +
                ".");
}

Sweep sweep_value(const QString& value) {
  const QString v = value.trimmed();
  const auto fail = [&] {
    throw Refusal(
        "--sweep must look like NAME=FROM..TO or NAME=FROM..TO:STEP with NAME one of rate, mtu, "
        "frame-length or data-amount, not " +
        quoted(value) + ".");
  };
  const qsizetype eq = v.indexOf('=');
  const qsizetype dots = v.indexOf("..");
  if (eq <= 0 || dots <= eq + 1) fail();
  Sweep s;
  s.name = v.left(eq).toStdString();
  QString to_part = v.mid(dots + 2);
  QString step_part;
  if (const qsizetype colon = to_part.indexOf(':'); colon >= 0) {
    step_part = to_part.mid(colon + 1);
    to_part = to_part.left(colon);
  }
  long long low = 1;
  long long high = 10;
  if (s.name == "data-amount") {
    low = -1000000;
    high = 1000000;
  } else if (s.name != "rate" && s.name != "mtu" && s.name != "frame-length") {
    fail();
  }
  const QString option = "sweep " + QString::fromStdString(s.name);
  s.from = whole_number(option, v.mid(eq + 1, dots - eq - 1), low, high);
  s.to = whole_number(option, to_part, low, high);
  if (!step_part.isNull()) s.step = whole_number("sweep step", step_part, 1, high - low + 1);
  if (s.from > s.to) {
    throw Refusal("--sweep must go upwards: FROM must not be above TO in " + quoted(value) + ".");
  }
  if ((s.to - s.from) / s.step + 1 > 1000) {
    throw Refusal("--sweep may take at most 1000 values; use a larger STEP in " + quoted(value) +
                  ".");
  }
  return s;
}

std::string file_name(const QString& option, const QString& value) {
  if (value.trimmed().isEmpty()) {
    throw Refusal((option.startsWith("the ") ? "" : "--") + option.toStdString() +
                  " needs a file name.");
  }
  return value.toStdString();
}

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& arguments) {
  CommandLine out;
  QStringList args;
  for (const std::string& a : arguments) args << QString::fromStdString(a);
  for (std::size_t i = 1; i < arguments.size(); ++i) out.options.arguments.push_back(arguments[i]);

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "BRUVIK: a teaching simulator of medium-access methods on a shared bus. Ten stations share "
      "one bus; a run takes pure ALOHA, slotted ALOHA, 1-persistent, non-persistent and "
      "p-persistent CSMA/CD in turn and ranks them by throughput.\n\nWithout options it opens "
      "the window.");
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
  const QCommandLineOption version("version", "Show the version and exit.");
  const QCommandLineOption seed("seed",
                                "Seed of the random generator, 0 to 18446744073709551615; the "
                                "same seed gives the same run. Default: drawn once and shown.",
                                "N");
  const QCommandLineOption mtu("mtu", "Network MTU, 1 to 10 (default 5), set with its buttons.",
                               "M");
  const QCommandLineOption rate(
      "rate", "Data sending rate, 1 to 10 (default 5), set with its buttons.", "R");
  const QCommandLineOption frame_length(
      "frame-length", "Average frame length, 1 to 10 (default 5), set with its buttons.", "F");
  const QCommandLineOption data_amount(
      "data-amount", "Data amount typed into its box; must begin with a number (default 100).",
      "A");
  const QCommandLineOption headless(
      "headless", "Run in the terminal without a window: one whole run, or --runs, --sweep.");
  const QCommandLineOption format("format", "Terminal output: text (default), json or csv.",
                                  "FORMAT");
  const QCommandLineOption max_time(
      "max-time",
      "Stop a terminal run after MS virtual milliseconds, 1 to 1000000000 (default 3600000, "
      "one hour).",
      "MS");
  const QCommandLineOption dump_at(
      "dump-at",
      "With --headless: run to MS virtual milliseconds, 0 to 1000000000, print the whole "
      "window state as JSON and exit.",
      "MS");
  const QCommandLineOption screenshot(
      "screenshot", "Render the window without a display to this PNG file and exit.", "FILE");
  const QCommandLineOption at(
      "at",
      "With --screenshot: take it after MS virtual milliseconds, 0 to 1000000000 (default 0).",
      "MS");
  const QCommandLineOption start(
      "start", "With --screenshot or --dump-at: press \"EnableThe Computers\" at time 0.");
  const QCommandLineOption runs(
      "runs", "With --headless: K runs with seeds N, N+1, ..., 1 to 100000 (default 1).", "K");
  const QCommandLineOption threads(
      "threads", "With --runs or --sweep: worker threads, 1 to 256 (default: all cores).", "N");
  const QCommandLineOption sweep(
      "sweep",
      "With --headless: one block of figures per value of NAME (rate, mtu, frame-length 1 to 10; "
      "data-amount -1000000 to 1000000), FROM..TO with an optional :STEP (default 1).",
      "NAME=FROM..TO");
  const QCommandLineOption plot(
      "plot", "With --sweep: draw throughput against the swept value to FILE (.png or .svg).",
      "FILE");
  const QCommandLineOption axis(
      "axis",
      "With --plot: value (default) draws throughput against the swept value; load draws "
      "throughput on the bus against offered load, beside the textbook curves.",
      "AXIS");
  const QCommandLineOption trace(
      "trace", "With --headless (one run): write every event of the run to FILE as CSV.", "FILE");
  const QCommandLineOption timeline(
      "timeline",
      "With --headless (one run): draw the timeline of the bus to FILE (.svg or .png); the run "
      "is printed as usual.",
      "FILE");
  const QCommandLineOption from(
      "from", "With --timeline: begin at MS virtual milliseconds, 0 to 1000000000 (default 0).",
      "MS");
  const QCommandLineOption to(
      "to",
      "With --timeline: end at MS virtual milliseconds, 0 to 1000000000 (default: the end of "
      "the run).",
      "MS");
  const QCommandLineOption with_timeline(
      "with-timeline", "With --screenshot: include the timeline pane under the window.");
  const QCommandLineOption speed("speed",
                                 "Window speed: 0.25, 0.5, 1 (default), 2, 5, 10, 50 or max.", "X");
  for (const auto* o :
       {&help,     &version, &seed,     &mtu,     &rate,       &frame_length, &data_amount,
        &headless, &format,  &max_time, &dump_at, &screenshot, &at,           &start,
        &runs,     &threads, &sweep,    &plot,    &trace,      &speed}) {
    parser.addOption(*o);
  }
  parser.addOption(axis);
  const QCommandLineOption replay(
      "replay",
      "With --headless or --screenshot: the run of an experiment file, its seed and settings "
      "from the file; the terminal run goes on from the moment it was saved, --dump-at and --at "
      "replay the file's actions up to MS (--at defaults to the saved moment).",
      "FILE");
  const QCommandLineOption save_experiment(
      "save-experiment", "With a single terminal run: write its experiment file to FILE.", "FILE");
  parser.addOption(replay);
  parser.addOption(save_experiment);
  parser.addPositionalArgument("FILE", "An experiment file (.bruvik) to open in the window.",
                               "[FILE]");
  for (const auto* o : {&timeline, &from, &to, &with_timeline}) parser.addOption(*o);

  try {
    if (!parser.parse(args)) throw Refusal(parser.errorText().toStdString());
    if (parser.isSet(help)) {
      out.action = CommandLine::Action::Help;
      out.text = parser.helpText().replace("<executable_name>", "bruvik").toStdString();
      return out;
    }
    if (parser.isSet(version)) {
      out.action = CommandLine::Action::Version;
      out.text = "bruvik " + QCoreApplication::applicationVersion().toStdString();
      return out;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
      throw Refusal("bruvik opens one experiment file at a time, not " + quoted(files[0]) +
                    " and " + quoted(files[1]) + ". Try --help.");
    }
    for (const QString& name : parser.optionNames()) {
      if (name != "start" && name != "headless" && parser.values(name).size() > 1) {
        throw Refusal("--" + name.toStdString() + " was given more than once.");
      }
    }

    Options& o = out.options;
    if (parser.isSet(seed)) o.seed = seed_number(parser.value(seed));
    if (parser.isSet(mtu)) o.mtu = static_cast<int>(whole_number("mtu", parser.value(mtu), 1, 10));
    if (parser.isSet(rate))
      o.rate = static_cast<int>(whole_number("rate", parser.value(rate), 1, 10));
    if (parser.isSet(frame_length)) {
      o.frame_length =
          static_cast<int>(whole_number("frame-length", parser.value(frame_length), 1, 10));
    }
    if (parser.isSet(data_amount)) {
      o.data_amount = parser.value(data_amount).toStdString();
      if (!numtext::leading_number(o.data_amount)) {
        throw Refusal("--data-amount must begin with a number that can be held, not " +
                      quoted(parser.value(data_amount)) + ".");
      }
    }
    o.headless = parser.isSet(headless);
    if (parser.isSet(format)) {
      const QString f = parser.value(format).trimmed().toLower();
      if (f == "text") {
        o.format = OutputFormat::Text;
      } else if (f == "json") {
        o.format = OutputFormat::Json;
      } else if (f == "csv") {
        o.format = OutputFormat::Csv;
      } else {
        throw Refusal("--format must be text, json or csv, not " + quoted(parser.value(format)) +
                      ".");
      }
    }
    if (parser.isSet(max_time))
      o.max_time = whole_number("max-time", parser.value(max_time), 1, 1000000000);
    if (parser.isSet(dump_at))
      o.dump_at = whole_number("dump-at", parser.value(dump_at), 0, 1000000000);
    if (parser.isSet(screenshot)) o.screenshot = file_name("screenshot", parser.value(screenshot));
    if (parser.isSet(at)) o.at = whole_number("at", parser.value(at), 0, 1000000000);
    o.start = parser.isSet(start);
    if (parser.isSet(runs))
      o.runs = static_cast<int>(whole_number("runs", parser.value(runs), 1, 100000));
    if (parser.isSet(threads))
      o.threads = static_cast<int>(whole_number("threads", parser.value(threads), 1, 256));
    if (parser.isSet(sweep)) o.sweep = sweep_value(parser.value(sweep));
    if (parser.isSet(plot)) o.plot = file_name("plot", parser.value(plot));
    if (parser.isSet(axis)) {
      const QString a = parser.value(axis).trimmed().toLower();
      if (a != "load" && a != "value") {
        throw Refusal("--axis must be load or value, not " + quoted(parser.value(axis)) + ".");
      }
      o.plot_axis = a == "load" ? PlotAxis::Load : PlotAxis::Value;
    }
    if (parser.isSet(trace)) o.trace = file_name("trace", parser.value(trace));
    if (parser.isSet(timeline)) o.timeline = file_name("timeline", parser.value(timeline));
    if (parser.isSet(from))
      o.timeline_from = whole_number("from", parser.value(from), 0, 1000000000);
    if (parser.isSet(to)) o.timeline_to = whole_number("to", parser.value(to), 0, 1000000000);
    o.with_timeline = parser.isSet(with_timeline);
    if (parser.isSet(speed)) o.speed = speed_value(parser.value(speed));
    if (!files.isEmpty()) o.experiment = file_name("the experiment", files[0]);
    if (parser.isSet(replay)) {
      if (o.experiment) {
        throw Refusal("give the experiment file once: as --replay FILE or as FILE, not both.");
      }
      o.experiment = file_name("replay", parser.value(replay));
    }
    if (parser.isSet(save_experiment)) {
      o.save_experiment = file_name("save-experiment", parser.value(save_experiment));
    }
    o.at_given = parser.isSet(at);

    // Options that belong to one mode only, and modes that exclude each other.
    const auto needs = [&](const QCommandLineOption& opt, bool ok, const char* sentence) {
      if (parser.isSet(opt) && !ok) throw Refusal(sentence);
    };
    needs(screenshot, !o.headless,
          "--screenshot renders the window and cannot be combined with --headless.");
    needs(at, o.screenshot.has_value(), "--at goes with --screenshot FILE.");
    needs(dump_at, o.headless, "--dump-at goes with --headless.");
    needs(start, o.screenshot.has_value() || o.dump_at.has_value(),
          "--start goes with --screenshot FILE or --headless --dump-at MS.");
    needs(format, o.headless && !o.dump_at,
          "--format goes with a terminal run (--headless without --dump-at).");
    needs(max_time, o.headless && !o.dump_at,
          "--max-time goes with a terminal run (--headless without --dump-at).");
    needs(runs, o.headless && !o.dump_at, "--runs goes with --headless (and not with --dump-at).");
    needs(sweep, o.headless && !o.dump_at,
          "--sweep goes with --headless (and not with --dump-at).");
    needs(threads, o.headless && !o.dump_at, "--threads goes with --headless --runs K or --sweep.");
    needs(plot, o.sweep.has_value(), "--plot goes with --sweep NAME=FROM..TO.");
    needs(axis, o.plot.has_value(), "--axis goes with --plot FILE.");
    needs(trace, o.headless && !o.dump_at && o.runs == 1 && !o.sweep,
          "--trace goes with a single terminal run (--headless, without --runs, --sweep or "
          "--dump-at).");
    needs(timeline, o.headless && !o.dump_at && o.runs == 1 && !o.sweep,
          "--timeline goes with a single terminal run (--headless, without --runs, --sweep or "
          "--dump-at).");
    needs(from, o.timeline.has_value(), "--from goes with --timeline FILE.");
    needs(to, o.timeline.has_value(), "--to goes with --timeline FILE.");
    needs(with_timeline, o.screenshot.has_value(), "--with-timeline goes with --screenshot FILE.");
    needs(speed, !o.headless && !o.screenshot, "--speed goes with the window.");
    if (!files.isEmpty() && (o.headless || o.screenshot)) {
      throw Refusal(
          "a file to open goes with the window; for the terminal or a screenshot use "
          "--replay " +
          files[0].toStdString() + ".");
    }
    needs(replay, o.headless || o.screenshot,
          "--replay goes with --headless or --screenshot FILE; to open an experiment in the "
          "window give it alone: bruvik FILE.");
    if (o.experiment) {
      for (const QCommandLineOption* setting : {&seed, &mtu, &rate, &frame_length, &data_amount}) {
        if (parser.isSet(*setting)) {
          throw Refusal("--" + setting->names().first().toStdString() +
                        " cannot be given with an experiment file: the file holds the seed and "
                        "the settings of its run.");
        }
      }
    }
    needs(start, !o.experiment,
          "--start cannot be given with an experiment file: the file holds what was pressed.");
    needs(runs, !o.experiment, "--runs cannot be given with --replay: a file holds one run.");
    needs(sweep, !o.experiment, "--sweep cannot be given with --replay: a file holds one run.");
    needs(save_experiment, o.headless && !o.dump_at && o.runs == 1 && !o.sweep && !o.experiment,
          "--save-experiment goes with a single terminal run (--headless, without --runs, "
          "--sweep, --dump-at or --replay).");
    if (o.sweep && o.sweep->name == "data-amount" && parser.isSet(data_amount)) {
      throw Refusal("--data-amount cannot be given together with --sweep data-amount=...");
    }
    if (o.sweep && parser.isSet(o.sweep->name == "rate"           ? rate
                                : o.sweep->name == "mtu"          ? mtu
                                : o.sweep->name == "frame-length" ? frame_length
                                                                  : data_amount)) {
      throw Refusal("--" + o.sweep->name + " cannot be given together with --sweep " +
                    o.sweep->name + "=...");
    }
    if (o.plot) {
      const QString p = QString::fromStdString(*o.plot).toLower();
      if (!p.endsWith(".png") && !p.endsWith(".svg")) {
        throw Refusal("--plot needs a file name ending in .png or .svg, not " +
                      quoted(QString::fromStdString(*o.plot)) + ".");
      }
    }
    if (o.timeline) {
      const QString t = QString::fromStdString(*o.timeline).toLower();
      if (!t.endsWith(".png") && !t.endsWith(".svg")) {
        throw Refusal("--timeline needs a file name ending in .svg or .png, not " +
                      quoted(QString::fromStdString(*o.timeline)) + ".");
      }
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

}  // namespace bruvik
