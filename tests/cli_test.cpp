// The command line: what it accepts, and the one clear sentence for whatever it refuses.
#include "program/cli.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bruvik {
namespace {

CommandLine parse(std::vector<std::string> words) {
  words.insert(words.begin(), "bruvik");
  return parse_command_line(words);
}

struct Refused {
  std::vector<std::string> words;
  std::string says;  // a part of the sentence
};

TEST(CommandLine, RefusesWhatIsMissingMalformedOutOfRangeOrConflicting) {
  const Refused cases[] = {
      {{"--mtu"}, "Missing value after '--mtu'"},
      {{"--mtu", "0"}, "--mtu must be a whole number from 1 to 10, not \"0\""},
      {{"--mtu", "11"}, "--mtu must be a whole number from 1 to 10"},
      {{"--mtu", "5.5"}, "--mtu must be a whole number"},
      {{"--mtu", "five"}, "--mtu must be a whole number"},
      {{"--rate", "-1"}, "--rate must be a whole number from 1 to 10"},
      {{"--rate", ""}, "--rate must be a whole number"},
      {{"--frame-length", "10x"}, "--frame-length must be a whole number"},
      {{"--seed", "-3"}, "--seed must be a whole number from 0 to 18446744073709551615"},
      {{"--seed", "18446744073709551616"}, "--seed must be a whole number"},
      {{"--seed", "1", "--seed", "2"}, "--seed was given more than once"},
      {{"--data-amount", "abc"}, "--data-amount must begin with a number"},
      {{"--data-amount", ""}, "--data-amount must begin with a number"},
      {{"--data-amount", "1e309"}, "--data-amount must begin with a number that can be held"},
      {{"--headless", "--format", "xml"}, "--format must be text, json or csv, not \"xml\""},
      {{"--format", "json"}, "--format goes with a terminal run"},
      {{"--headless", "--max-time", "0"}, "--max-time must be a whole number from 1"},
      {{"--max-time", "100"}, "--max-time goes with a terminal run"},
      {{"--dump-at", "10"}, "--dump-at goes with --headless"},
      {{"--headless", "--dump-at", "-1"}, "--dump-at must be a whole number from 0"},
      {{"--screenshot", ""}, "--screenshot needs a file name"},
      {{"--screenshot", "a.png", "--headless"}, "cannot be combined with --headless"},
      {{"--at", "100"}, "--at goes with --screenshot FILE"},
      {{"--screenshot", "a.png", "--at", "x"}, "--at must be a whole number"},
      {{"--start"}, "--start goes with --screenshot FILE or --headless --dump-at MS"},
      {{"--headless", "--start"}, "--start goes with"},
      {{"--headless", "--runs", "0"}, "--runs must be a whole number from 1 to 100000"},
      {{"--runs", "5"}, "--runs goes with --headless"},
      {{"--headless", "--dump-at", "5", "--runs", "2"}, "--runs goes with --headless"},
      {{"--headless", "--runs", "2", "--threads", "0"}, "--threads must be a whole number from 1"},
      {{"--threads", "2"}, "--threads goes with"},
      {{"--headless", "--sweep", "rate"}, "--sweep must look like NAME=FROM..TO"},
      {{"--headless", "--sweep", "speed=1..3"}, "--sweep must look like"},
      {{"--headless", "--sweep", "rate=0..3"}, "--sweep rate must be a whole number from 1 to 10"},
      {{"--headless", "--sweep", "rate=5..3"}, "--sweep must go upwards"},
      {{"--headless", "--sweep", "mtu=1..10:0"}, "--sweep step must be a whole number from 1"},
      {{"--headless", "--sweep", "data-amount=1..100000"}, "at most 1000 values"},
      {{"--headless", "--sweep", "rate=1..3", "--rate", "4"}, "--rate cannot be given together"},
      {{"--headless", "--sweep", "data-amount=10..20", "--data-amount", "5"},
       "--data-amount cannot be given together"},
      {{"--sweep", "rate=1..3"}, "--sweep goes with --headless"},
      {{"--headless", "--plot", "p.png"}, "--plot goes with --sweep"},
      {{"--headless", "--sweep", "rate=1..3", "--plot", "p.jpg"}, "ending in .png or .svg"},
      {{"--headless", "--sweep", "rate=1..3", "--plot", "p.png", "--axis", "time"},
       "--axis must be load or value, not \"time\""},
      {{"--headless", "--sweep", "rate=1..3", "--axis", "load"}, "--axis goes with --plot FILE"},
      {{"--headless", "--runs", "3", "--trace", "t.csv"},
       "--trace goes with a single terminal run"},
      {{"--trace", "t.csv"}, "--trace goes with a single terminal run"},
      {{"--timeline", "t.svg"}, "--timeline goes with a single terminal run"},
      {{"--headless", "--runs", "2", "--timeline", "t.svg"}, "--timeline goes with a single"},
      {{"--headless", "--timeline", "t.jpg"},
       "--timeline needs a file name ending in .svg or .png"},
      {{"--headless", "--timeline", ""}, "--timeline needs a file name"},
      {{"--headless", "--timeline", "t.svg", "--from", "-1"},
       "--from must be a whole number from 0 to 1000000000, not \"-1\""},
      {{"--headless", "--timeline", "t.svg", "--to", "1000000001"},
       "--to must be a whole number from 0 to 1000000000"},
      {{"--headless", "--timeline", "t.svg", "--from", "1.5"}, "--from must be a whole number"},
      {{"--headless", "--timeline", "t.svg", "--from", "500", "--to", "500"},
       "--from must be before --to, and 500 is not before 500"},
      {{"--headless", "--timeline", "t.svg", "--from", "900", "--to", "20"},
       "--from must be before --to"},
      {{"--headless", "--from", "5"}, "--from goes with --timeline FILE"},
      {{"--headless", "--to", "5"}, "--to goes with --timeline FILE"},
      {{"--with-timeline"}, "--with-timeline goes with --screenshot FILE"},
      {{"--speed", "3"}, "--speed must be one of 0.25, 0.5, 1, 2, 5, 10, 50 or max"},
      {{"--headless", "--speed", "2"}, "--speed goes with the window"},
      {{"--frob"}, "Unknown option 'frob'"},
      {{"a.bruvik", "b.bruvik"}, "opens one experiment file at a time"},
      {{"a.bruvik", "--headless"}, "for the terminal or a screenshot use --replay a.bruvik"},
      {{"a.bruvik", "--screenshot", "w.png"}, "use --replay a.bruvik"},
      {{"a.bruvik", "--replay", "b.bruvik", "--headless"}, "as --replay FILE or as FILE"},
      {{"--replay", "a.bruvik"}, "--replay goes with --headless or --screenshot FILE"},
      {{"--headless", "--replay", ""}, "--replay needs a file name"},
      {{"--headless", "--replay", "a.bruvik", "--seed", "3"},
       "--seed cannot be given with an experiment file"},
      {{"--headless", "--replay", "a.bruvik", "--mtu", "3"}, "--mtu cannot be given with"},
      {{"--headless", "--replay", "a.bruvik", "--rate", "3"}, "--rate cannot be given with"},
      {{"--headless", "--replay", "a.bruvik", "--frame-length", "3"},
       "--frame-length cannot be given with"},
      {{"--headless", "--replay", "a.bruvik", "--data-amount", "3"},
       "--data-amount cannot be given with"},
      {{"a.bruvik", "--seed", "3"}, "--seed cannot be given with an experiment file"},
      {{"--headless", "--replay", "a.bruvik", "--dump-at", "5", "--start"},
       "--start cannot be given with an experiment file"},
      {{"--headless", "--replay", "a.bruvik", "--runs", "3"}, "--runs cannot be given with"},
      {{"--headless", "--replay", "a.bruvik", "--sweep", "rate=1..2"},
       "--sweep cannot be given with"},
      {{"--save-experiment", "e.bruvik"}, "--save-experiment goes with a single terminal run"},
      {{"--headless", "--runs", "2", "--save-experiment", "e.bruvik"},
       "--save-experiment goes with"},
      {{"--headless", "--replay", "a.bruvik", "--save-experiment", "e.bruvik"},
       "--save-experiment goes with"},
      {{"--headless", "--save-experiment", ""}, "--save-experiment needs a file name"},
  };
  for (const auto& c : cases) {
    const CommandLine line = parse(c.words);
    std::string shown;
    for (const auto& w : c.words) shown += "[" + w + "]";
    EXPECT_EQ(line.action, CommandLine::Action::Refuse) << shown;
    EXPECT_NE(line.text.find(c.says), std::string::npos) << shown << " said: " << line.text;
    // One sentence on one line, naming the program.
    EXPECT_EQ(line.text.rfind("bruvik: ", 0), 0u) << line.text;
    EXPECT_EQ(line.text.find('\n'), std::string::npos) << line.text;
  }
}

TEST(CommandLine, TakesWhatIsValid) {
  const CommandLine line =
      parse({"--headless", "--seed", "42", "--mtu", "1", "--rate", "10", "--frame-length", "7",
             "--data-amount", "-5 apples", "--format", "JSON", "--max-time", "60000"});
  ASSERT_EQ(line.action, CommandLine::Action::Run) << line.text;
  const Options& o = line.options;
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(*o.seed, 42u);
  EXPECT_EQ(o.mtu, 1);
  EXPECT_EQ(o.rate, 10);
  EXPECT_EQ(o.frame_length, 7);
  EXPECT_EQ(o.data_amount, "-5 apples");
  EXPECT_EQ(o.format, OutputFormat::Json);
  EXPECT_EQ(o.max_time, 60000);
  EXPECT_EQ(o.arguments.size(), 15u);

  const CommandLine sweep =
      parse({"--headless", "--runs", "20", "--threads", "2", "--sweep", "data-amount=50..500:50",
             "--plot", "out.SVG", "--axis", " Load"});
  ASSERT_EQ(sweep.action, CommandLine::Action::Run) << sweep.text;
  ASSERT_TRUE(sweep.options.sweep);
  EXPECT_EQ(sweep.options.sweep->name, "data-amount");
  EXPECT_EQ(sweep.options.sweep->from, 50);
  EXPECT_EQ(sweep.options.sweep->to, 500);
  EXPECT_EQ(sweep.options.sweep->step, 50);
  EXPECT_EQ(sweep.options.runs, 20);
  EXPECT_EQ(sweep.options.threads, 2);
  EXPECT_EQ(sweep.options.plot_axis, PlotAxis::Load);
  EXPECT_EQ(parse({"--headless", "--sweep", "rate=1..2", "--plot", "p.png"}).options.plot_axis,
            PlotAxis::Value);

  const CommandLine shot = parse(
      {"--screenshot", "w.png", "--at", "30000", "--start", "--rate", "8", "--with-timeline"});
  ASSERT_EQ(shot.action, CommandLine::Action::Run) << shot.text;
  EXPECT_EQ(*shot.options.screenshot, "w.png");
  EXPECT_EQ(shot.options.at, 30000);
  EXPECT_TRUE(shot.options.start);
  EXPECT_TRUE(shot.options.with_timeline);

  const CommandLine timeline =
      parse({"--headless", "--timeline", "t.PNG", "--from", "0", "--to", "1000000000"});
  ASSERT_EQ(timeline.action, CommandLine::Action::Run) << timeline.text;
  EXPECT_EQ(*timeline.options.timeline, "t.PNG");
  EXPECT_EQ(*timeline.options.timeline_from, 0);
  EXPECT_EQ(*timeline.options.timeline_to, 1000000000);
  EXPECT_FALSE(parse({"--headless", "--timeline", "t.svg"}).options.timeline_to);

  struct Speed {
    const char* text;
    double value;
  };
  for (const Speed s :
       {Speed{"0.25", 0.25}, Speed{"0.5x", 0.5}, Speed{"50", 50}, Speed{"max", 0}}) {
    const CommandLine w = parse({"--speed", s.text});
    ASSERT_EQ(w.action, CommandLine::Action::Run) << s.text;
    EXPECT_EQ(w.options.speed, s.value) << s.text;
  }
  EXPECT_EQ(parse({}).action, CommandLine::Action::Run);
  EXPECT_FALSE(parse({}).options.seed);

  // Words are read as Qt reads text, so that a run prints the same whichever front took it:
  // bytes that begin no character become U+FFFD, a leading byte order mark goes, Unicode
  // blanks around a number are trimmed.
  const struct {
    std::vector<std::string> words;
    std::string data_amount;
    int mtu;
  } as_text[] = {
      {{"--data-amount", "5\xFF\xE2\x82"}, "5\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 5},
      {{"--data-amount",
        "\xEF\xBB\xBF"
        "7\xF0\x9F\x98\x80"},
       "7\xF0\x9F\x98\x80",
       5},
      {{"--mtu",
        "\xC2\xA0"
        "7\xE3\x80\x80"},
       "100",
       7},
  };
  for (const auto& t : as_text) {
    const CommandLine w = parse(t.words);
    ASSERT_EQ(w.action, CommandLine::Action::Run) << w.text;
    EXPECT_EQ(w.options.data_amount, t.data_amount);
    EXPECT_EQ(w.options.mtu, t.mtu);
  }

  // An experiment: opened in the window as a word of its own, replayed with --replay.
  const struct {
    std::vector<std::string> words;
    const char* file;
    bool headless, at_given;
  } files[] = {
      {{"lesson.bruvik", "--speed", "50"}, "lesson.bruvik", false, false},
      {{"--headless", "--replay", "l.bruvik", "--format", "csv", "--max-time", "9"},
       "l.bruvik",
       true,
       false},
      {{"--headless", "--replay", "l.bruvik", "--dump-at", "40"}, "l.bruvik", true, false},
      {{"--replay", "l.bruvik", "--screenshot", "w.png", "--at", "40"}, "l.bruvik", false, true},
  };
  for (const auto& f : files) {
    const CommandLine w = parse(f.words);
    ASSERT_EQ(w.action, CommandLine::Action::Run) << w.text;
    EXPECT_EQ(w.options.experiment.value_or(""), f.file);
    EXPECT_EQ(w.options.headless, f.headless);
    EXPECT_EQ(w.options.at_given, f.at_given);
  }
  EXPECT_EQ(parse({"--headless", "--save-experiment", "e.bruvik"}).options.save_experiment,
            "e.bruvik");
}

TEST(CommandLine, HelpListsEveryOptionWithItsRangeAndDefault) {
  const CommandLine line = parse({"--help"});
  ASSERT_EQ(line.action, CommandLine::Action::Help);
  for (const char* part : {"--seed",
                           "--mtu",
                           "1 to 10 (default 5)",
                           "--rate",
                           "--frame-length",
                           "--data-amount",
                           "(default 100)",
                           "--headless",
                           "--format",
                           "text (default)",
                           "--max-time",
                           "default 3600000",
                           "--dump-at",
                           "--screenshot",
                           "--at",
                           "--start",
                           "--runs",
                           "(default 1)",
                           "--threads",
                           "default: all cores",
                           "--sweep",
                           "--plot",
                           "--axis",
                           "--trace",
                           "--timeline",
                           "--from",
                           "--to",
                           "default: the end of the run",
                           "--with-timeline",
                           "--speed",
                           "1 (default)",
                           "--replay",
                           "--save-experiment",
                           "[FILE]",
                           "--version",
                           "Usage: bruvik"}) {
    EXPECT_NE(line.text.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(parse({"--version"}).action, CommandLine::Action::Version);
}

}  // namespace
}  // namespace bruvik
