// Traces and output files: the trace agrees with the counters of its run, fingerprints react to
// each part of an event and only in its method, and output files appear whole or not at all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "headless/output_file.h"
#include "headless/terminal.h"
#include "headless/trace.h"
#include "model/runtime_error.h"
#include "output_reader.h"

namespace bruvik {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class Folder {
 public:
  Folder() {
    path_ = fs::temp_directory_path() /
            ("bruvik-trace-test-" + std::to_string(::getpid()) + "-" + std::to_string(next_++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~Folder() { fs::remove_all(path_); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename());
    return out;
  }

 private:
  static inline int next_ = 0;
  fs::path path_;
};

TEST(Trace, EventCountsMatchTheCountersOfTheirMethod) {
  struct Case {
    std::uint64_t seed;
    int mtu, rate, frame_length;
  };
  const Case cases[] = {{7, 5, 5, 5}, {11, 5, 8, 5}, {13, 2, 5, 9}, {21, 10, 1, 1}};
  for (const Case& c : cases) {
    Folder folder;
    Options o;
    o.headless = true;
    o.seed = c.seed;
    o.mtu = c.mtu;
    o.rate = c.rate;
    o.frame_length = c.frame_length;
    o.format = OutputFormat::Json;
    o.trace = folder.file("trace.csv");
    std::ostringstream out, err;
    ASSERT_EQ(run_terminal(o, out, err), 0) << err.str();
    const auto run = Json::parse(out.str());
    const auto rows = test::read_csv(test::read_file(*o.trace));
    ASSERT_GT(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"virtual_ms", "method", "station", "event"}));

    std::map<std::pair<std::string, std::string>, int> count;
    const std::set<std::string> names = {"attempt",  "sent",     "collision",
                                         "busy",     "deferred", "frame end",
                                         "bus busy", "bus idle", "method end"};
    long long last = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
      const auto& r = rows[i];
      ASSERT_EQ(r.size(), 4u);
      EXPECT_TRUE(names.count(r[3])) << r[3];
      const long long t = std::stoll(r[0]);
      EXPECT_GE(t, last) << "line " << i;  // in time order
      last = t;
      const int station = std::stoi(r[2]);
      const bool station_event = r[3] != "bus busy" && r[3] != "bus idle" && r[3] != "method end";
      EXPECT_EQ(station >= 0 && station <= 9, station_event) << r[3] << " " << station;
      ++count[{r[1], r[3]}];
    }
    const auto n = [&](const std::string& code, const std::string& event) {
      return count[std::make_pair(code, event)];
    };
    for (const auto& m : run.at("methods")) {
      const std::string code = m.at("code").get<std::string>();
      EXPECT_EQ(n(code, "sent"), m.at("data_sent").get<double>()) << c.seed << " " << code;
      EXPECT_EQ(n(code, "collision"), m.at("collisions").get<double>()) << c.seed << " " << code;
      EXPECT_EQ(n(code, "method end"), 1) << code;
    }
    // Only the ALOHA methods never sense the bus.
    EXPECT_EQ(n("pure", "busy") + n("slotted", "busy"), 0);
    EXPECT_EQ(folder.names().size(), 1u);  // no temporary file left beside it
  }
}

// A frame of a trace, read plainly: each "sent" is on the bus until the next "frame end" of its
// station, or until the run stops.
struct TracedFrame {
  std::string method;
  int station = 0;
  long long sent = 0, off = -1;
};

TEST(Trace, FiguresOnTheBusAgreeWithAPlainCountOverTheTrace) {
  struct Case {
    int mtu, rate, frame_length;
    VirtualMs max_time;  // cuts runs short: methods still running, frames still on the bus
  };
  const Case cases[] = {{5, 5, 5, 3600000}, {2, 9, 5, 3600000}, {5, 8, 2, 60000}};
  for (const Case& c : cases) {
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
      RunParams p;
      p.start.seed = seed;
      p.start.mtu = c.mtu;
      p.start.rate = c.rate;
      p.start.frame_length = c.frame_length;
      p.max_time = c.max_time;
      std::ostringstream trace;
      TraceWriter writer(trace);
      const RunResult run = run_once(p, &writer);
      const std::string where = "seed " + std::to_string(seed) + " rate " + std::to_string(c.rate);

      std::vector<TracedFrame> frames;
      std::map<int, std::vector<std::size_t>> open;  // per station
      std::map<std::string, int> collisions;
      const auto rows = test::read_csv(trace.str());
      for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& r = rows[i];
        const int station = std::stoi(r[2]);
        if (r[3] == "sent") {
          open[station].push_back(frames.size());
          frames.push_back({r[1], station, std::stoll(r[0])});
        }
        if (r[3] == "collision") ++collisions[r[1]];
        if (r[3] != "frame end") continue;
        for (const std::size_t f : open[station]) frames[f].off = std::stoll(r[0]);
        open[station].clear();
      }
      for (TracedFrame& f : frames) {
        if (f.off < 0) f.off = run.virtual_ms;
      }
      // The trace is in time order, and no frame stays on the bus longer than a frame time, so
      // only the frames sent within 150 ms either side can overlap (a quick run under the
      // sanitizers needs that).
      std::map<std::string, int> sent, overlapped;
      for (std::size_t i = 0; i < frames.size(); ++i) {
        const TracedFrame& a = frames[i];
        ASSERT_LE(a.off - a.sent, 150) << where << " frame " << i;
        ++sent[a.method];
        std::size_t j = i;
        while (j > 0 && frames[j - 1].sent > a.sent - 150) --j;
        for (; j < frames.size() && frames[j].sent < a.off; ++j) {
          const TracedFrame& b = frames[j];
          if (a.station != b.station && std::max(a.sent, b.sent) < std::min(a.off, b.off)) {
            ++overlapped[a.method];
            break;
          }
        }
      }

      for (const MethodResult& m : run.methods) {
        ASSERT_EQ(m.bus.has_value(), m.reached) << where << " " << m.code;
        if (!m.bus) continue;
        EXPECT_EQ(m.bus->frames_overlapped, overlapped[m.code]) << where << " " << m.code;
        const double frame_times =
            static_cast<double>((m.ended ? m.ended_ms : run.virtual_ms) - m.started_ms) / 150;
        ASSERT_TRUE(m.bus->offered_load) << where << " " << m.code;
        EXPECT_DOUBLE_EQ(*m.bus->offered_load, sent[m.code] / frame_times) << where << m.code;
        EXPECT_DOUBLE_EQ(*m.bus->throughput_counted,
                         (sent[m.code] - collisions[m.code]) / frame_times)
            << where << " " << m.code;
        EXPECT_DOUBLE_EQ(*m.bus->throughput_on_bus,
                         (sent[m.code] - overlapped[m.code]) / frame_times)
            << where << " " << m.code;
      }
    }
  }
}

TEST(Trace, ARefusedPathIsOneSentenceAndNoRunStarts) {
  Folder folder;
  std::ofstream(folder.file("plain")) << "x";
  struct Case {
    std::string path;
    std::string sentence;
  };
  const Case cases[] = {
      {folder.file("missing/trace.csv"), "bruvik: cannot write the trace to \"" +
                                             folder.file("missing/trace.csv") +
                                             "\": No such file or directory.\n"},
      {folder.file(""),
       "bruvik: cannot write the trace to \"" + folder.file("") + "\": it is a folder.\n"},
      {folder.file("plain/trace.csv"), "bruvik: cannot write the trace to \"" +
                                           folder.file("plain/trace.csv") +
                                           "\": Not a directory.\n"},
  };
  for (const Case& c : cases) {
    Options o{};
    o.headless = true;
    o.seed = 1;
    o.trace.emplace(c.path);
    int runs = 0;
    std::ostringstream out, err;
    const int code = run_terminal(o, out, err, [&](const RunParams& p, EventSink* e) {
      ++runs;
      return run_once(p, e);
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err.str(), c.sentence);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(runs, 0);
  }
}

TEST(Trace, AFailedRunLeavesNoFileAtAll) {
  Folder folder;
  Options o;
  o.headless = true;
  o.seed = 1;
  o.trace = folder.file("trace.csv");
  std::ostringstream out, err;
  // Fails half way, after some events have been written.
  const int code = run_terminal(o, out, err, [](const RunParams& p, EventSink* sink) {
    struct Failing : EventSink {
      EventSink* inner;
      int left = 500;
      void on_event(const Event& e) override {
        inner->on_event(e);
        if (--left == 0) throw RuntimeError(ErrorCode::Overflow);
      }
    } failing;
    failing.inner = sink;
    return run_once(p, &failing);
  });
  EXPECT_EQ(code, 1);
  EXPECT_NE(err.str().find("Overflow"), std::string::npos);
  EXPECT_TRUE(folder.names().empty());
}

TEST(OutputFile, AppearsWholeOnCommitAndNotAtAllOtherwise) {
  Folder folder;
  const std::string path = folder.file("out.csv");
  {
    OutputFile f(path, "trace");
    ASSERT_TRUE(f.ok()) << f.error();
    f.stream() << "half";
    EXPECT_FALSE(fs::exists(path));  // written under its temporary name meanwhile
    EXPECT_EQ(folder.names().size(), 1u);
  }
  EXPECT_TRUE(folder.names().empty());  // dropped without commit: nothing left
  {
    OutputFile f(path, "trace");
    f.stream() << "whole\n";
    EXPECT_TRUE(f.commit()) << f.error();
  }
  EXPECT_EQ(test::read_file(path), "whole\n");
  EXPECT_EQ(folder.names(), std::vector<std::string>{"out.csv"});
  {
    OutputFile f(path, "trace");  // replacing an existing file
    f.stream() << "new\n";
    EXPECT_TRUE(f.commit());
  }
  EXPECT_EQ(test::read_file(path), "new\n");
}

TEST(Fingerprint, EachPartOfAnEventCountsAndOnlyInItsMethod) {
  Event base;
  base.time = 1250;
  base.kind = EventKind::Rearm;
  base.method = 2;
  base.station = 4;
  base.timer = 28;
  base.value = 375;
  struct Case {
    const char* what;
    Event e;
    bool changes;
  };
  std::vector<Case> cases;
  const auto with = [&](const char* what, auto change, bool changes) {
    Event e = base;
    change(e);
    cases.push_back({what, e, changes});
  };
  with(
      "time", [](Event& e) { e.time += 1; }, true);
  with(
      "kind", [](Event& e) { e.kind = EventKind::Attempt; }, true);
  with(
      "timer", [](Event& e) { e.timer = 29; }, true);
  with(
      "station", [](Event& e) { e.station = 5; }, true);
  with(
      "value", [](Event& e) { e.value = 500; }, true);
  with(
      "value2", [](Event& e) { e.value2 = 1; }, false);
  Fingerprint reference;
  reference.on_event(base);
  for (const Case& c : cases) {
    Fingerprint f;
    f.on_event(c.e);
    EXPECT_EQ(f.per_method()[2] != reference.per_method()[2], c.changes) << c.what;
    for (const std::size_t k : {0u, 1u, 3u, 4u}) {
      EXPECT_EQ(f.per_method()[k], Fingerprint::kBasis) << c.what << " touched method " << k;
    }
  }
  // FNV-1a itself, on its published test value.
  const char a = 'a';
  EXPECT_EQ(fnv1a(Fingerprint::kBasis, &a, 1), 0xaf63dc4c8601ec8cull);
}

}  // namespace
}  // namespace bruvik
