// The terminal runs as a user sees them: the shape of each format, reproducible seeds, methods
// that were not reached, many runs on any number of threads, sweeps, and run-time errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "headless/plot_json.h"
#include "headless/stats.h"
#include "headless/terminal.h"
#include "history/experiment_file.h"
#include "model/runtime_error.h"
#include "output_reader.h"

namespace bruvik {
namespace {

struct Printed {
  int code;
  std::string out, err;
};

Printed terminal(const Options& o, const SingleRunner& runner = {}) {
  std::ostringstream out, err;
  const int code = run_terminal(o, out, err, runner);
  return {code, out.str(), err.str()};
}

Options options(std::uint64_t seed, OutputFormat format = OutputFormat::Json) {
  Options o;
  o.headless = true;
  o.seed = seed;
  o.format = format;
  return o;
}

const std::vector<std::string> kMethodKeys = {"code",
                                              "name",
                                              "reached",
                                              "ended",
                                              "data_sent",
                                              "collisions",
                                              "seconds",
                                              "statistics_line",
                                              "throughput_text",
                                              "started_ms",
                                              "ended_ms",
                                              "offered_load",
                                              "frames_overlapped",
                                              "throughput_counted",
                                              "throughput_on_bus"};
const char* const kBusKeys[] = {"offered_load", "frames_overlapped", "throughput_counted",
                                "throughput_on_bus"};

TEST(SingleRun, JsonHasExactlyTheDocumentedFields) {
  const Printed p = terminal(options(7));
  ASSERT_EQ(p.code, 0) << p.err;
  const Json v = Json::parse(p.out);
  EXPECT_EQ(test::keys(v), (std::vector<std::string>{"seed", "params", "finished", "virtual_ms",
                                                     "methods", "table"}));
  EXPECT_EQ(v.at("seed").get<std::uint64_t>(), 7u);
  EXPECT_EQ(test::keys(v.at("params")), (std::vector<std::string>{"mtu", "rate", "frame_length",
                                                                  "data_amount", "max_time_ms"}));
  EXPECT_EQ(v.at("params").at("data_amount").get<std::string>(), "100");
  EXPECT_EQ(v.at("params").at("max_time_ms").get<double>(), 3600000);
  EXPECT_TRUE(v.at("finished").get<bool>());
  ASSERT_EQ(v.at("methods").size(), 5u);
  const char* codes[] = {"pure", "slotted", "1per", "nonper", "pper"};
  VirtualMs previous_end = 0;
  for (std::size_t k = 0; k < 5; ++k) {
    const Json& m = v.at("methods").at(k);
    EXPECT_EQ(test::keys(m), kMethodKeys);
    EXPECT_EQ(m.at("code").get<std::string>(), codes[k]);
    EXPECT_TRUE(m.at("ended").get<bool>());
    // Each method starts where the one before it ended; the successful sendings reach 100.
    EXPECT_EQ(m.at("started_ms").get<double>(), previous_end);
    EXPECT_GT(m.at("ended_ms").get<double>(), m.at("started_ms").get<double>());
    EXPECT_GE(m.at("data_sent").get<double>() - m.at("collisions").get<double>(), 100);
    EXPECT_EQ(m.at("throughput_text").get<std::string>().size(), 3u);
    previous_end = static_cast<VirtualMs>(m.at("ended_ms").get<double>());
  }
  EXPECT_EQ(v.at("virtual_ms").get<double>(), previous_end);
  ASSERT_EQ(v.at("table").size(), 5u);
  for (std::size_t k = 0; k < 5; ++k) {
    EXPECT_EQ(test::keys(v.at("table").at(k)),
              (std::vector<std::string>{"place", "name", "value"}));
    EXPECT_EQ(v.at("table").at(k).at("place").get<double>(), static_cast<double>(k + 1));
  }
}

TEST(SingleRun, TheSameSeedPrintsTheSameBytesInEveryFormat) {
  for (const OutputFormat f : {OutputFormat::Text, OutputFormat::Json, OutputFormat::Csv}) {
    const Printed a = terminal(options(99, f));
    const Printed b = terminal(options(99, f));
    EXPECT_EQ(a.code, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out, terminal(options(100, f)).out);
  }
}

TEST(SingleRun, ADrawnSeedIsPrintedAndReproducesTheRun) {
  Options o = options(0);
  o.seed.reset();
  const Printed drawn = terminal(o);
  ASSERT_EQ(drawn.code, 0);
  const Json v = Json::parse(drawn.out);
  const std::uint64_t seed = v.at("seed").get<std::uint64_t>();
  EXPECT_EQ(terminal(options(seed)).out, drawn.out);

  o.format = OutputFormat::Text;
  const std::string text = terminal(o).out;
  EXPECT_NE(text.find("\nseed: "), std::string::npos);
}

TEST(SingleRun, MethodsNotReachedOrNotEndedAreReportedAsSuchNotAsZeros) {
  Options o = options(7);
  o.max_time = 1000;
  const Printed p = terminal(o);
  EXPECT_EQ(p.code, 0);  // stopping at the time limit is not a failure
  const Json v = Json::parse(p.out);
  EXPECT_FALSE(v.at("finished").get<bool>());
  EXPECT_EQ(v.at("virtual_ms").get<double>(), 1000);
  for (std::size_t k = 0; k < 5; ++k) {
    const Json& m = v.at("methods").at(k);
    EXPECT_EQ(m.at("reached").get<bool>(), k == 0);
    EXPECT_FALSE(m.at("ended").get<bool>());
    for (const char* key :
         {"data_sent", "collisions", "seconds", "statistics_line", "throughput_text", "ended_ms"}) {
      EXPECT_TRUE(m.at(key).is_null()) << k << " " << key;
    }
    // What happened on the bus is known from the start up to the stop.
    for (const char* key : kBusKeys) EXPECT_EQ(m.at(key).is_null(), k != 0) << k << " " << key;
    EXPECT_EQ(m.at("started_ms").is_null(), k != 0);
  }
  EXPECT_EQ(v.at("methods").at(0).at("started_ms").get<double>(), 0);
  // Rows of a table that was never ranked.
  EXPECT_EQ(v.at("table").at(0).at("name").get<std::string>(), "Not Prosessed");

  o.format = OutputFormat::Text;
  const std::string text = terminal(o).out;
  EXPECT_NE(text.find("pure     Pure Aloha      not ended"), std::string::npos) << text;
  EXPECT_NE(text.find("slotted  Slotted Aloha   not reached"), std::string::npos) << text;
  EXPECT_NE(text.find("finished: no"), std::string::npos);
  EXPECT_NE(text.find("\non the bus, from the method's start to its end (offered load G and "
                      "throughputs S in frames per frame time of 150 ms)\n"),
            std::string::npos);

  o.format = OutputFormat::Csv;
  const auto rows = test::read_csv(terminal(o).out);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[1][3], "true");   // reached
  EXPECT_EQ(rows[1][4], "false");  // ended
  EXPECT_EQ(rows[1][5], "");       // data sent: none, not 0
  EXPECT_EQ(rows[1][10], "0");     // started at 0
  EXPECT_EQ(rows[2][10], "");      // never started
  for (std::size_t c = 13; c < 17; ++c) {
    EXPECT_NE(rows[1][c], "") << rows[0][c];
    EXPECT_EQ(rows[2][c], "") << rows[0][c];
  }
}

TEST(SingleRun, CsvHasAHeaderAndOneRowPerMethodAgreeingWithJson) {
  const auto rows = test::read_csv(terminal(options(7, OutputFormat::Csv)).out);
  const Json v = Json::parse(terminal(options(7)).out);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0],
            (std::vector<std::string>{
                "seed", "code", "name", "reached", "ended", "data_sent", "collisions", "seconds",
                "statistics_line", "throughput_text", "started_ms", "ended_ms", "place",
                "offered_load", "frames_overlapped", "throughput_counted", "throughput_on_bus"}));
  for (std::size_t k = 0; k < 5; ++k) {
    const auto& row = rows[k + 1];
    const Json& m = v.at("methods").at(k);
    ASSERT_EQ(row.size(), rows[0].size());
    EXPECT_EQ(row[0], "7");
    EXPECT_EQ(row[1], m.at("code").get<std::string>());
    EXPECT_EQ(row[5], m.at("data_sent").dump());
    EXPECT_EQ(row[6], m.at("collisions").dump());
    EXPECT_EQ(row[8], m.at("statistics_line").get<std::string>());
    EXPECT_EQ(row[9], m.at("throughput_text").get<std::string>());
    EXPECT_EQ(row[11], m.at("ended_ms").dump());
    for (std::size_t c = 0; c < std::size(kBusKeys); ++c) {
      EXPECT_EQ(row[13 + c], m.at(kBusKeys[c]).dump()) << kBusKeys[c];
    }
    // The place is where the method's name stands in the ranked table.
    const Json& ranked = v.at("table").at(static_cast<std::size_t>(std::stoi(row[12]) - 1));
    EXPECT_EQ(ranked.at("name").get<std::string>(), m.at("name").get<std::string>());
  }
}

TEST(SingleRun, TheTypedDataAmountSurvivesEveryFormatUnchanged) {
  const std::string typed = "5 \"quoted\", back\\slash\ttab\x01 süre \xE2\x82\xAC";
  Options o = options(3);
  o.data_amount = typed;
  const Printed p = terminal(o);
  ASSERT_EQ(p.code, 0) << p.err;
  EXPECT_EQ(Json::parse(p.out).at("params").at("data_amount").get<std::string>(), typed);
  o.format = OutputFormat::Text;
  // Text shows it quoted and escaped, on one line.
  EXPECT_NE(terminal(o).out.find("data amount \"5 \\\"quoted\\\", back\\\\slash\\ttab\\u0001 süre"),
            std::string::npos);
}

TEST(SingleRun, ARunTimeErrorIsPrintedAndExitsOne) {
  const SingleRunner failing = [](const RunParams&, EventSink*) -> RunResult {
    throw RuntimeError(ErrorCode::Overflow);
  };
  const Printed p = terminal(options(5), failing);
  EXPECT_EQ(p.code, 1);
  EXPECT_EQ(p.out, "");
  EXPECT_EQ(p.err, "bruvik: Run-time error '6': Overflow (seed 5).\n");

  // Among many runs, the failing one is named and nothing is printed as if all went well.
  Options many = options(10);
  many.runs = 4;
  const SingleRunner third = [](const RunParams& params, EventSink* extra) {
    if (params.start.seed == 12) throw RuntimeError(ErrorCode::DivisionByZero);
    return run_once(params, extra);
  };
  const Printed q = terminal(many, third);
  EXPECT_EQ(q.code, 1);
  EXPECT_EQ(q.out, "");
  EXPECT_EQ(q.err, "bruvik: the run with seed 12 failed: Run-time error '11': Division by zero\n");
}

// A file in the test's own temporary folder.
std::string temp_file(const std::string& name) {
  const auto dir =
      std::filesystem::temp_directory_path() /
      ("bruvik-replay-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

TEST(Replay, ASavedTerminalRunReplaysToTheSameBytes) {
  const struct {
    std::uint64_t seed;
    OutputFormat format;
    int rate;
    std::string data_amount;
    VirtualMs max_time;
  } cases[] = {
      {7, OutputFormat::Text, 5, "100", 3600000},
      {7, OutputFormat::Json, 5, "100", 3600000},
      {11, OutputFormat::Csv, 8, "20", 3600000},
      {5, OutputFormat::Json, 5, "100", 1000},  // stopped by --max-time
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seed);
    Options plain = options(c.seed, c.format);
    plain.rate = c.rate;
    plain.data_amount = c.data_amount;
    plain.max_time = c.max_time;
    const Printed straight = terminal(plain);
    ASSERT_EQ(straight.code, 0) << straight.err;

    Options saving = plain;
    saving.save_experiment = temp_file("run.bruvik");
    const Printed saved = terminal(saving);
    EXPECT_EQ(saved.out, straight.out) << "saving changes nothing printed";

    Options replaying = options(0, c.format);
    replaying.seed.reset();
    replaying.experiment = saving.save_experiment;
    replaying.max_time = c.max_time;
    const Printed again = terminal(replaying);
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.out, straight.out);
  }
  // The file holds the one press of "EnableThe Computers" at the start.
  const ExperimentRead read = read_experiment_file(temp_file("run.bruvik"));
  ASSERT_TRUE(read.experiment) << read.error;
  ASSERT_EQ(read.experiment->actions.size(), 1u);
  EXPECT_EQ(read.experiment->actions[0], (UserAction{0, 0, ActionKind::Click, "Command1", "", 0}));
  EXPECT_EQ(read.experiment->saved_at->time, 1000);
}

TEST(Replay, TheRunGoesOnFromTheSavedMomentAndTheDumpReplaysUpToItsMoment) {
  Experiment e;
  e.start.seed = 4;
  e.actions = {{0, std::nullopt, ActionKind::Click, "Command1", "", 0},
               {5000, std::nullopt, ActionKind::Click, "Command3", "", 0}};
  // Saved before the second action (after going back): the run plays out as the window's
  // would after Resume, the second action included.
  e.saved_at = Target{2000, std::nullopt, 1};
  const std::string file = temp_file("two.bruvik");
  std::ofstream(file) << experiment_json(e);
  Experiment whole = e;
  whole.saved_at.reset();
  std::ofstream(temp_file("two-whole.bruvik")) << experiment_json(whole);
  Options replaying = options(0);
  replaying.seed.reset();
  replaying.experiment = file;
  Options replaying_whole = replaying;
  replaying_whole.experiment = temp_file("two-whole.bruvik");
  EXPECT_EQ(terminal(replaying).out, terminal(replaying_whole).out);
  EXPECT_NE(terminal(replaying).out, terminal(options(4)).out);

  // The dump does the file's actions up to its moment: the MTU raised at 5 s shows at 30 s.
  const auto dump = [](const Options& o) {
    std::ostringstream out, err;
    const int code = dump_state(o, out, err);
    return std::to_string(code) + err.str() + out.str();
  };
  Options at = replaying;
  at.dump_at = 30000;
  const std::string replayed = dump(at);
  EXPECT_NE(replayed.find("\"Text11\""), std::string::npos);
  Options live = options(4);
  live.dump_at = 30000;
  live.start = true;
  const std::string pressed = dump(live);
  EXPECT_NE(replayed, pressed) << "the MTU differs";
  at.dump_at = 4999;
  live.dump_at = 4999;
  EXPECT_EQ(dump(at), dump(live)) << "before the second action they agree";
}

TEST(Replay, ARefusedFileIsOneSentenceAndExitTwo) {
  const std::string bad = temp_file("bad.bruvik");
  std::ofstream(bad) << R"({"format": "bruvik-experiment", "version": 3})";
  const struct {
    std::string file;
    std::string says;
  } cases[] = {
      {bad, bad + " is not a BRUVIK experiment: version: 3 is newer than this BRUVIK reads (2)."},
      {temp_file("none.bruvik"), temp_file("none.bruvik") + " cannot be opened."},
  };
  for (const auto& c : cases) {
    Options o = options(0);
    o.seed.reset();
    o.experiment = c.file;
    const Printed p = terminal(o);
    EXPECT_EQ(p.code, kUsageError);
    EXPECT_EQ(p.out, "");
    EXPECT_EQ(p.err, "bruvik: " + c.says + "\n");
    std::ostringstream out, err;
    o.dump_at = 10;
    EXPECT_EQ(dump_state(o, out, err), kUsageError);
    EXPECT_EQ(err.str(), "bruvik: " + c.says + "\n");
  }
}

TEST(ManyRuns, TheThreadCountDoesNotChangeABytePrinted) {
  for (const OutputFormat f : {OutputFormat::Text, OutputFormat::Json, OutputFormat::Csv}) {
    Options o = options(40, f);
    o.runs = 12;
    o.threads = 1;
    const Printed one = terminal(o);
    ASSERT_EQ(one.code, 0);
    for (const int threads : {2, 3}) {
      o.threads = threads;
      EXPECT_EQ(terminal(o).out, one.out) << threads << " threads";
    }
  }
}

TEST(ManyRuns, JsonHoldsEachRunAsASingleRunPrintsItAndASummaryOfThem) {
  Options o = options(20);
  o.runs = 5;
  const Printed p = terminal(o);
  ASSERT_EQ(p.code, 0);
  const Json v = Json::parse(p.out);
  EXPECT_EQ(test::keys(v), (std::vector<std::string>{"seeds", "params", "runs", "summary"}));
  EXPECT_EQ(v.at("seeds").at("first").get<double>(), 20);
  EXPECT_EQ(v.at("seeds").at("count").get<double>(), 5);
  ASSERT_EQ(v.at("runs").size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    const Json single = Json::parse(terminal(options(20 + i)).out);
    EXPECT_EQ(v.at("runs").at(i), single) << "run " << i;
  }
  const char* codes[] = {"pure", "slotted", "1per", "nonper", "pper"};
  ASSERT_EQ(test::keys(v.at("summary")), (std::vector<std::string>(codes, codes + 5)));
  for (std::size_t k = 0; k < 5; ++k) {
    const Json& s = v.at("summary").at(codes[k]);
    std::vector<std::string> figures = {"collision_pct", "successful_per_virtual_second",
                                        "table_value", "duration_ms"};
    figures.insert(figures.end(), std::begin(kBusKeys), std::end(kBusKeys));
    std::vector<std::string> method_keys = {"finished"};
    method_keys.insert(method_keys.end(), figures.begin(), figures.end());
    EXPECT_EQ(test::keys(s), method_keys);
    EXPECT_EQ(s.at("finished").get<double>(), 5);
    // The summary agrees with the runs printed beside it: the per-second figure with their
    // counters, the table value with the value their ranked table shows for the method.
    std::vector<double> per_second, table;
    for (const Json& run : v.at("runs")) {
      const Json& m = run.at("methods").at(k);
      per_second.push_back(
          (m.at("data_sent").get<double>() - m.at("collisions").get<double>()) /
          ((m.at("ended_ms").get<double>() - m.at("started_ms").get<double>()) / 1000));
      for (const Json& row : run.at("table")) {
        if (row.at("name") == m.at("name")) {
          table.push_back(std::stod(row.at("value").get<std::string>()));
        }
      }
    }
    ASSERT_EQ(table.size(), 5u);
    for (const std::string& figure : figures) {
      EXPECT_EQ(test::keys(s.at(figure)),
                (std::vector<std::string>{"n", "mean", "sd", "ci95_low", "ci95_high"}));
    }
    const Summary expect = summarize(per_second);
    const Json& got = s.at("successful_per_virtual_second");
    EXPECT_NEAR(got.at("mean").get<double>(), *expect.mean, 1e-12);
    EXPECT_NEAR(got.at("ci95_low").get<double>(), *expect.ci95_low, 1e-12);
    const Summary expect_table = summarize(table);
    const Json& got_table = s.at("table_value");
    EXPECT_NEAR(got_table.at("mean").get<double>(), *expect_table.mean, 1e-12);
    EXPECT_NEAR(got_table.at("sd").get<double>(), *expect_table.sd, 1e-12);
    EXPECT_LT(s.at("duration_ms").at("ci95_low").get<double>(),
              s.at("duration_ms").at("mean").get<double>());
    // The figures on the bus: the mean of the batch is the mean of its runs as printed.
    for (const char* key : kBusKeys) {
      std::vector<double> values;
      for (const Json& run : v.at("runs")) values.push_back(run.at("methods").at(k).at(key));
      const Summary want = summarize(values);
      EXPECT_EQ(s.at(key).at("n").get<double>(), 5) << key;
      EXPECT_NEAR(s.at(key).at("mean").get<double>(), *want.mean, 1e-12) << key;
      EXPECT_NEAR(s.at(key).at("sd").get<double>(), *want.sd, 1e-12) << key;
    }
  }
  // The CSV summary prints the same figures.
  o.format = OutputFormat::Csv;
  const auto rows = test::read_csv(terminal(o).out);
  ASSERT_EQ(rows.size(), 6u);
  for (std::size_t c = 0; c < rows[0].size(); ++c) {
    for (const char* key : kBusKeys) {
      if (rows[0][c] != std::string(key) + "_mean") continue;
      for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(rows[k + 1][c], v.at("summary").at(codes[k]).at(key).at("mean").dump()) << key;
      }
    }
  }
}

TEST(ManyRuns, SeedsThatWouldPassTheLargestAreRefused) {
  struct Case {
    std::uint64_t seed;
    int runs;
    int code;
  };
  const std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
  const Case cases[] = {{top, 2, 2}, {top - 2, 4, 2}, {top - 2, 3, 0}, {top, 1, 0}};
  for (const Case& c : cases) {
    Options o = options(c.seed, OutputFormat::Csv);
    o.runs = c.runs;
    o.max_time = 10;  // the figures do not matter here
    const Printed p = terminal(o);
    EXPECT_EQ(p.code, c.code) << c.seed << " " << c.runs;
    EXPECT_EQ(p.err.empty(), c.code == 0) << p.err;
  }
}

TEST(ManyRuns, TextAndCsvShowTheFourFiguresPerMethod) {
  Options o = options(1, OutputFormat::Text);
  o.runs = 3;
  const std::string text = terminal(o).out;
  for (const char* title :
       {"\ncollision percentage", "\nsuccessful sendings per virtual second of the method\n",
        "\nperformance table value (successful sendings per \"Seconds passed\", as the window "
        "ranks them)\n",
        "\nduration (", "\noffered load G (", "\nframes overlapped (", "\nthroughput counted S (",
        "\nthroughput on the bus S ("}) {
    EXPECT_NE(text.find(title), std::string::npos) << title;
  }
  EXPECT_NE(text.find("seeds: 1 to 3 (3 runs)"), std::string::npos);
  EXPECT_NE(text.find("Pure Aloha        3 of 3"), std::string::npos) << text;
  o.format = OutputFormat::Csv;
  const auto rows = test::read_csv(terminal(o).out);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].size(), 45u);
  EXPECT_EQ(rows[0][0], "first_seed");
  EXPECT_EQ(rows[0][11], "successful_per_virtual_second_mean");
  EXPECT_EQ(rows[0][16], "table_value_mean");
  EXPECT_EQ(rows[0][21], "duration_ms_mean");
  EXPECT_EQ(rows[0][26], "offered_load_mean");
  EXPECT_EQ(rows[0][41], "throughput_on_bus_mean");
  EXPECT_EQ(rows[3][2], "1per");
  for (const auto& row : rows) EXPECT_EQ(row.size(), rows[0].size());
}

TEST(Sweep, OneBlockPerValueWithTheSameSeeds) {
  Options o = options(2);
  o.runs = 2;
  o.sweep = Sweep{"rate", 4, 8, 2};
  const Printed p = terminal(o);
  ASSERT_EQ(p.code, 0) << p.err;
  const Json v = Json::parse(p.out);
  EXPECT_EQ(test::keys(v), (std::vector<std::string>{"sweep", "seeds", "params", "points"}));
  EXPECT_EQ(v.at("sweep").at("name").get<std::string>(), "rate");
  EXPECT_EQ(v.at("sweep").at("step").get<double>(), 2);
  EXPECT_TRUE(v.at("params").at("rate").is_null());  // the swept value varies
  EXPECT_EQ(v.at("params").at("mtu").get<double>(), 5);
  ASSERT_EQ(v.at("points").size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const Json& point = v.at("points").at(i);
    EXPECT_EQ(test::keys(point),
              (std::vector<std::string>{"value", "params", "runs_finished", "summary"}));
    EXPECT_EQ(point.at("value").get<double>(), 4 + 2 * static_cast<double>(i));
    EXPECT_EQ(point.at("params").at("rate").get<double>(), point.at("value").get<double>());
    EXPECT_EQ(test::keys(point.at("summary")).size(), 5u);
  }
  // The value 6 with seeds 2 and 3 gives what --rate 6 --runs 2 gives.
  Options fixed = options(2);
  fixed.runs = 2;
  fixed.rate = 6;
  const Json alone = Json::parse(terminal(fixed).out);
  EXPECT_EQ(v.at("points").at(1).at("summary"), alone.at("summary"));

  o.format = OutputFormat::Csv;
  const auto rows = test::read_csv(terminal(o).out);
  ASSERT_EQ(rows.size(), 1u + 3 * 5);
  EXPECT_EQ(rows[0][0], "parameter");
  EXPECT_EQ(rows[6][0], "rate");
  EXPECT_EQ(rows[6][1], "6");
  EXPECT_EQ(rows[6][4], "pure");
  EXPECT_EQ(rows[6][5], "Pure Aloha");

  o.format = OutputFormat::Text;
  const std::string text = terminal(o).out;
  for (const char* block : {"== rate = 4:", "== rate = 6:", "== rate = 8:"}) {
    EXPECT_NE(text.find(block), std::string::npos) << block;
  }
}

TEST(Sweep, ValuesRunInGroupsKeepTheirOwnRuns) {
  // 100 runs per value on 2 threads: two values per group, so three values make two groups.
  Options o = options(50);
  o.runs = 100;
  o.threads = 2;
  o.sweep = Sweep{"mtu", 3, 5, 1};
  const Json v = Json::parse(terminal(o).out);
  ASSERT_EQ(v.at("points").size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    Options fixed = options(50);
    fixed.runs = 100;
    fixed.mtu = 3 + static_cast<int>(i);
    const Json alone = Json::parse(terminal(fixed).out);
    EXPECT_EQ(v.at("points").at(i).at("summary"), alone.at("summary")) << "mtu " << fixed.mtu;
  }
}

TEST(Sweep, OneRunPerValueHasAMeanButNoSpread) {
  Options o = options(2);
  o.sweep = Sweep{"data-amount", 10, 20, 10};
  const Json v = Json::parse(terminal(o).out);
  ASSERT_EQ(v.at("points").size(), 2u);
  EXPECT_EQ(v.at("points").at(1).at("params").at("data_amount").get<std::string>(), "20");
  for (const char* figure : {"successful_per_virtual_second", "table_value"}) {
    const Json& f = v.at("points").at(0).at("summary").at("pure").at(figure);
    EXPECT_EQ(f.at("n").get<double>(), 1) << figure;
    EXPECT_FALSE(f.at("mean").is_null()) << figure;
    for (const char* key : {"sd", "ci95_low", "ci95_high"}) {
      EXPECT_TRUE(f.at(key).is_null()) << figure << " " << key;
    }
  }
}

TEST(Sweep, ThePlotAsThePageGetsItHoldsTheTablesFigures) {
  // The page draws the request's JSON: each point where the table puts it, none where it has
  // none (one run has no interval).
  const struct {
    PlotAxis axis;
    int runs;
    const char* up;
    const char* across;  // none: at the swept value
  } cases[] = {{PlotAxis::Value, 3, "successful_per_virtual_second", nullptr},
               {PlotAxis::Load, 1, "throughput_on_bus", "offered_load"}};
  set_plot_drawer(&write_plot_json);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.up);
    Options o = options(2);
    o.runs = c.runs;
    o.sweep = Sweep{"rate", 4, 6, 1};
    o.plot = temp_file("plot.json");
    o.plot_axis = c.axis;
    const Printed p = terminal(o);
    ASSERT_EQ(p.code, 0) << p.err;
    const Json table = Json::parse(p.out);
    const Json plot = Json::parse(test::read_file(*o.plot));
    EXPECT_EQ(test::keys(plot),
              (std::vector<std::string>{"title", "x_title", "y_title", "caption", "x", "series",
                                        "curves", "notes", "svg", "width", "height"}));
    EXPECT_EQ(plot.at("x"), Json::array({4, 5, 6}));
    EXPECT_EQ(plot.at("curves").size(), c.across ? 4u : 0u);
    ASSERT_EQ(plot.at("series").size(), 5u);
    for (std::size_t k = 0; k < 5; ++k) {
      const Json& s = plot.at("series").at(k);
      for (std::size_t i = 0; i < 3; ++i) {
        const Json& point = table.at("points").at(i);
        const Json& figures = point.at("summary").at(test::keys(point.at("summary"))[k]);
        const auto same = [&](const char* series, const char* figure, const char* key) {
          EXPECT_EQ(s.at(series).at(i), figures.at(figure).at(key)) << k << " " << series << i;
        };
        same("mean", c.up, "mean");
        same("low", c.up, "ci95_low");
        same("high", c.up, "ci95_high");
        EXPECT_EQ(s.at("low").at(i).is_null(), c.runs == 1);
        if (c.across) {
          same("x_mean", c.across, "mean");
          same("x_low", c.across, "ci95_low");
          same("x_high", c.across, "ci95_high");
          EXPECT_EQ(s.at("labels").at(i), std::to_string(4 + i));
        }
      }
      EXPECT_EQ(s.at("x_mean").empty(), !c.across);
    }
  }
  set_plot_drawer(nullptr);
}

}  // namespace
}  // namespace bruvik
