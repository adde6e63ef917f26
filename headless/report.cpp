#include "headless/report.h"

#include <cstdio>

#include "headless/json.h"
#include "model/methods.h"

namespace bruvik {
namespace {

std::size_t display_width(const std::string& s) {
  std::size_t n = 0;
  for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u ? 1 : 0;
  return n;
}

std::string num(double v) {
  return json_number(v);
}

// Fixed decimals for the text tables; "-" where there is no figure.
std::string fixed(const std::optional<double>& v, int decimals) {
  if (!v) return "-";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, *v);
  return buf;
}

std::string yes_no(bool b) {
  return b ? "true" : "false";
}

// The swept parameter is null: its value stands with each point.
void write_params(JsonWriter& w, const RunParams& p, const std::string& swept = "") {
  const auto unless_swept = [&](const char* key, const char* name) {
    w.key(key);
    if (swept == name) w.null();
    return swept != name;
  };
  const StartSettings& s = p.start;
  w.begin_object();
  if (unless_swept("mtu", "mtu")) w.integer(s.mtu);
  if (unless_swept("rate", "rate")) w.integer(s.rate);
  if (unless_swept("frame_length", "frame-length")) w.integer(s.frame_length);
  if (unless_swept("data_amount", "data-amount")) w.string(s.data_amount);
  w.key("max_time_ms").integer(p.max_time);
  w.end_object();
}

std::string params_line(const RunParams& p, const std::string& swept = "") {
  const auto part = [&](const char* name, const std::string& words, const std::string& v) {
    return words + " " + (swept == name ? std::string("(swept)") : v);
  };
  const StartSettings& s = p.start;
  return "parameters: " + part("mtu", "network MTU", std::to_string(s.mtu)) + ", " +
         part("rate", "data sending rate", std::to_string(s.rate)) + ", " +
         part("frame-length", "average frame length", std::to_string(s.frame_length)) + ", " +
         part("data-amount", "data amount", json_string(s.data_amount)) + ", max time " +
         std::to_string(p.max_time) + " ms\n";
}

std::string status(const MethodResult& m) {
  return !m.reached ? "not reached" : !m.ended ? "not ended" : "ended";
}

// The place of the method in the final table; 0 when the table was not ranked.
int place_of(const RunResult& run, const MethodResult& m) {
  if (!run.finished) return 0;
  for (const TableRow& row : run.table) {
    if (row.name == m.name) return row.place;
  }
  return 0;
}

void write_summary_figure(JsonWriter& w, const Summary& s) {
  w.begin_object();
  w.key("n").integer(s.n);
  w.key("mean").number(s.mean);
  w.key("sd").number(s.sd);
  w.key("ci95_low").number(s.ci95_low);
  w.key("ci95_high").number(s.ci95_high);
  w.end_object();
}

// The summary's figures in the order every format prints them.
struct SummaryFigure {
  const char* key;
  const char* title;
  Summary MethodSummary::*member;
  int decimals;
};
constexpr SummaryFigure kSummaryFigures[] = {
    {"collision_pct", "collision percentage (collisions x 100 / data sent, at the method's end)",
     &MethodSummary::collision_pct, 3},
    {"successful_per_virtual_second", "successful sendings per virtual second of the method",
     &MethodSummary::successful_per_virtual_second, 3},
    {"table_value",
     "performance table value (successful sendings per \"Seconds passed\", as the window ranks "
     "them)",
     &MethodSummary::table_value, 3},
    {"duration_ms", "duration (virtual ms from the method's start to its end)",
     &MethodSummary::duration_ms, 1},
    {"offered_load",
     "offered load G (sendings x the frame time of 150 ms / the method's duration, in frames per "
     "frame time)",
     &MethodSummary::offered_load, 4},
    {"frames_overlapped",
     "frames overlapped (the method's frames that overlapped another station's frame on the bus)",
     &MethodSummary::frames_overlapped, 1},
    {"throughput_counted",
     "throughput counted S ((sendings - counted collisions) x 150 ms / duration, in frames per "
     "frame time)",
     &MethodSummary::throughput_counted, 4},
    {"throughput_on_bus",
     "throughput on the bus S ((sendings - frames overlapped) x 150 ms / duration, in frames per "
     "frame time)",
     &MethodSummary::throughput_on_bus, 4},
};

void write_summary(JsonWriter& w, const std::array<MethodSummary, 5>& summary) {
  w.begin_object();
  for (std::size_t k = 0; k < summary.size(); ++k) {
    w.key(methods()[k].code).begin_object();
    w.key("finished").integer(summary[k].finished);
    for (const SummaryFigure& f : kSummaryFigures) {
      write_summary_figure(w.key(f.key), summary[k].*f.member);
    }
    w.end_object();
  }
  w.end_object();
}

std::string summary_tables(const std::array<MethodSummary, 5>& summary, int runs) {
  std::string out;
  for (const SummaryFigure& f : kSummaryFigures) {
    std::vector<std::vector<std::string>> rows = {
        {"code", "method", "finished", "mean", "sd", "95% CI low", "95% CI high"}};
    for (std::size_t k = 0; k < summary.size(); ++k) {
      const Summary& s = summary[k].*f.member;
      rows.push_back({methods()[k].code, methods()[k].name,
                      std::to_string(summary[k].finished) + " of " + std::to_string(runs),
                      fixed(s.mean, f.decimals), fixed(s.sd, f.decimals),
                      fixed(s.ci95_low, f.decimals), fixed(s.ci95_high, f.decimals)});
    }
    out += "\n";
    out += f.title;
    out += "\n";
    out += aligned_table(rows, {false, false, true, true, true, true, true});
  }
  return out;
}

std::string summary_csv_header() {
  std::string h = "code,name,finished";
  for (const SummaryFigure& f : kSummaryFigures) {
    for (const char* s : {"n", "mean", "sd", "ci95_low", "ci95_high"}) {
      h += ",";
      h += f.key;
      h += "_";
      h += s;
    }
  }
  return h;
}

std::string opt(const std::optional<double>& v) {
  return v ? num(*v) : "";
}

std::string summary_csv_row(const MethodSummary& m, std::size_t k) {
  std::string row = csv_field(methods()[k].code) + "," + csv_field(methods()[k].name) + "," +
                    std::to_string(m.finished);
  for (const SummaryFigure& f : kSummaryFigures) {
    const Summary& s = m.*f.member;
    row += "," + std::to_string(s.n) + "," + opt(s.mean) + "," + opt(s.sd) + "," + opt(s.ci95_low) +
           "," + opt(s.ci95_high);
  }
  return row;
}

// The figures on the bus of one method in one run, none where it did not start.
struct BusShown {
  std::optional<double> offered_load, frames_overlapped, throughput_counted, throughput_on_bus;
};
BusShown bus_shown(const MethodResult& m) {
  if (!m.bus) return {};
  return {m.bus->offered_load, static_cast<double>(m.bus->frames_overlapped),
          m.bus->throughput_counted, m.bus->throughput_on_bus};
}

std::string seeds_line(std::uint64_t first, std::size_t count) {
  return "seeds: " + std::to_string(first) + " to " + std::to_string(first + count - 1) + " (" +
         std::to_string(count) + (count == 1 ? " run" : " runs") + ")\n";
}

void write_seeds(JsonWriter& w, std::uint64_t first, std::size_t count) {
  w.begin_object();
  w.key("first").integer(first);
  w.key("count").integer(count);
  w.end_object();
}

}  // namespace

std::string aligned_table(const std::vector<std::vector<std::string>>& rows,
                          const std::vector<bool>& right) {
  std::vector<std::size_t> width;
  for (const auto& row : rows) {
    if (width.size() < row.size()) width.resize(row.size(), 0);
    for (std::size_t c = 0; c < row.size(); ++c)
      width[c] = std::max(width[c], display_width(row[c]));
  }
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::string pad(width[c] - display_width(row[c]), ' ');
      if (c > 0) line += "  ";
      const bool r = c < right.size() && right[c];
      line += r ? pad + row[c] : row[c] + pad;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  return out;
}

namespace {

// The same object wherever a run is printed, alone or among many. Written straight, not built
// as a Json: it is printed once a run.
void write_run(JsonWriter& w, const RunResult& run) {
  w.begin_object();
  w.key("seed").integer(run.params.start.seed);
  write_params(w.key("params"), run.params);
  w.key("finished").boolean(run.finished);
  w.key("virtual_ms").integer(run.virtual_ms);
  w.key("methods").begin_array();
  for (const MethodResult& m : run.methods) {
    // Figures exist once the method ended, its start once it was reached: null before.
    const auto null_unless = [&](const char* key, bool known) {
      w.key(key);
      if (!known) w.null();
      return known;
    };
    w.begin_object();
    w.key("code").string(m.code);
    w.key("name").string(m.name);
    w.key("reached").boolean(m.reached);
    w.key("ended").boolean(m.ended);
    if (null_unless("data_sent", m.ended)) w.number(m.data_sent);
    if (null_unless("collisions", m.ended)) w.number(m.collisions);
    if (null_unless("seconds", m.ended)) w.number(m.seconds);
    if (null_unless("statistics_line", m.ended)) w.string(m.statistics_line);
    if (null_unless("throughput_text", m.ended)) w.string(m.throughput_text);
    if (null_unless("started_ms", m.reached)) w.integer(m.started_ms);
    if (null_unless("ended_ms", m.ended)) w.integer(m.ended_ms);
    const BusShown bus = bus_shown(m);
    w.key("offered_load").number(bus.offered_load);
    w.key("frames_overlapped").number(bus.frames_overlapped);
    w.key("throughput_counted").number(bus.throughput_counted);
    w.key("throughput_on_bus").number(bus.throughput_on_bus);
    w.end_object();
  }
  w.end_array();
  w.key("table").begin_array();
  for (const TableRow& row : run.table) {
    w.begin_object();
    w.key("place").integer(row.place);
    w.key("name").string(row.name);
    w.key("value").string(row.value);
    w.end_object();
  }
  w.end_array();
  w.end_object();
}

}  // namespace

std::string run_json(const RunResult& run) {
  std::string text;
  JsonWriter w(text);
  write_run(w, run);
  return text + "\n";
}

std::string run_text(const RunResult& run) {
  std::string out = "BRUVIK terminal run\nseed: " + std::to_string(run.params.start.seed) + "\n";
  out += params_line(run.params);
  out += "\n";
  std::vector<std::vector<std::string>> rows = {{"code", "method", "status", "data sent",
                                                 "collisions", "seconds", "statistics line",
                                                 "throughput", "started ms", "ended ms"}};
  for (const MethodResult& m : run.methods) {
    const auto shown = [&](const std::string& s) { return m.ended ? s : std::string("-"); };
    rows.push_back({m.code, m.name, status(m), shown(num(m.data_sent)), shown(num(m.collisions)),
                    shown(num(m.seconds)), shown(json_string(m.statistics_line)),
                    shown(json_string(m.throughput_text)),
                    m.reached ? std::to_string(m.started_ms) : "-",
                    shown(std::to_string(m.ended_ms))});
  }
  out += aligned_table(rows, {false, false, false, true, true, true, false, false, true, true});
  out +=
      "\non the bus, from the method's start to its end (offered load G and throughputs S in "
      "frames per frame time of 150 ms)\n";
  std::vector<std::vector<std::string>> bus_rows = {{"code", "method", "offered load G",
                                                     "frames overlapped", "throughput counted S",
                                                     "throughput on the bus S"}};
  for (const MethodResult& m : run.methods) {
    const BusShown bus = bus_shown(m);
    bus_rows.push_back({m.code, m.name, fixed(bus.offered_load, 4), fixed(bus.frames_overlapped, 0),
                        fixed(bus.throughput_counted, 4), fixed(bus.throughput_on_bus, 4)});
  }
  out += aligned_table(bus_rows, {false, false, true, true, true, true});
  out += "\nperformance table\n";
  std::vector<std::vector<std::string>> table = {{"place", "name", "value"}};
  for (const TableRow& row : run.table) {
    table.push_back({std::to_string(row.place), row.name, json_string(row.value)});
  }
  out += aligned_table(table, {true, false, false});
  out += "\n";
  out += run.finished ? "finished: yes, after " + std::to_string(run.virtual_ms) + " virtual ms\n"
                      : "finished: no, stopped at the time limit of " +
                            std::to_string(run.virtual_ms) + " virtual ms\n";
  return out;
}

std::string run_csv(const RunResult& run) {
  std::string out =
      "seed,code,name,reached,ended,data_sent,collisions,seconds,statistics_line,"
      "throughput_text,started_ms,ended_ms,place,offered_load,frames_overlapped,"
      "throughput_counted,throughput_on_bus\n";
  for (const MethodResult& m : run.methods) {
    const auto shown = [&](const std::string& s) { return m.ended ? s : std::string(); };
    const int place = place_of(run, m);
    const BusShown bus = bus_shown(m);
    out += std::to_string(run.params.start.seed) + "," + csv_field(m.code) + "," +
           csv_field(m.name) + "," + yes_no(m.reached) + "," + yes_no(m.ended) + "," +
           shown(num(m.data_sent)) + "," + shown(num(m.collisions)) + "," + shown(num(m.seconds)) +
           "," + shown(csv_field(m.statistics_line)) + "," + shown(csv_field(m.throughput_text)) +
           "," + (m.reached ? std::to_string(m.started_ms) : "") + "," +
           shown(std::to_string(m.ended_ms)) + "," + (place > 0 ? std::to_string(place) : "") +
           "," + opt(bus.offered_load) + "," + opt(bus.frames_overlapped) + "," +
           opt(bus.throughput_counted) + "," + opt(bus.throughput_on_bus) + "\n";
  }
  return out;
}

BatchReport make_batch_report(std::vector<RunResult> runs) {
  BatchReport r;
  if (!runs.empty()) {
    r.params = runs.front().params;
    r.first_seed = runs.front().params.start.seed;
  }
  r.runs = std::move(runs);
  r.summary = summarize_runs(r.runs);
  return r;
}

std::string batch_text(const BatchReport& report) {
  int finished = 0;
  for (const RunResult& r : report.runs) finished += r.finished ? 1 : 0;
  std::string out = "BRUVIK terminal runs\n" + seeds_line(report.first_seed, report.runs.size());
  out += params_line(report.params);
  out += "runs finished: " + std::to_string(finished) + " of " +
         std::to_string(report.runs.size()) + "\n";
  out += summary_tables(report.summary, static_cast<int>(report.runs.size()));
  return out;
}

void batch_json(const BatchReport& report, std::ostream& out) {
  std::string text;
  JsonWriter w(text);
  const auto flush = [&] {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
  };
  w.begin_object();
  write_seeds(w.key("seeds"), report.first_seed, report.runs.size());
  write_params(w.key("params"), report.params);
  w.key("runs").begin_array();
  for (const RunResult& run : report.runs) {
    write_run(w, run);
    flush();
  }
  w.end_array();
  write_summary(w.key("summary"), report.summary);
  w.end_object();
  text += '\n';
  flush();
}

std::string batch_csv(const BatchReport& report) {
  std::string out = "first_seed,runs," + summary_csv_header() + "\n";
  for (std::size_t k = 0; k < report.summary.size(); ++k) {
    out += std::to_string(report.first_seed) + "," + std::to_string(report.runs.size()) + "," +
           summary_csv_row(report.summary[k], k) + "\n";
  }
  return out;
}

std::string sweep_title(const std::string& name) {
  if (name == "rate") return "data sending rate";
  if (name == "mtu") return "network MTU";
  if (name == "frame-length") return "average frame length";
  if (name == "data-amount") return "data amount";
  return name;
}

RunParams swept_params(const RunParams& base, const std::string& name, long long value) {
  RunParams p = base;
  if (name == "rate") p.start.rate = static_cast<int>(value);
  if (name == "mtu") p.start.mtu = static_cast<int>(value);
  if (name == "frame-length") p.start.frame_length = static_cast<int>(value);
  if (name == "data-amount") p.start.data_amount = std::to_string(value);
  return p;
}

std::string sweep_text(const SweepReport& report) {
  std::string out = "BRUVIK sweep of the " + sweep_title(report.sweep.name) + " (" +
                    report.sweep.name + ") from " + std::to_string(report.sweep.from) + " to " +
                    std::to_string(report.sweep.to) + " in steps of " +
                    std::to_string(report.sweep.step) + "\n";
  out += seeds_line(report.first_seed, static_cast<std::size_t>(report.runs));
  out += params_line(report.base, report.sweep.name);
  for (const SweepPoint& p : report.points) {
    out += "\n== " + report.sweep.name + " = " + std::to_string(p.value) + ": runs finished " +
           std::to_string(p.runs_finished) + " of " + std::to_string(report.runs) + "\n";
    out += summary_tables(p.summary, report.runs);
  }
  return out;
}

std::string sweep_json(const SweepReport& report) {
  std::string text;
  JsonWriter w(text);
  w.begin_object();
  w.key("sweep").begin_object();
  w.key("name").string(report.sweep.name);
  w.key("from").integer(static_cast<std::int64_t>(report.sweep.from));
  w.key("to").integer(static_cast<std::int64_t>(report.sweep.to));
  w.key("step").integer(static_cast<std::int64_t>(report.sweep.step));
  w.end_object();
  write_seeds(w.key("seeds"), report.first_seed, static_cast<std::size_t>(report.runs));
  write_params(w.key("params"), report.base, report.sweep.name);
  w.key("points").begin_array();
  for (const SweepPoint& p : report.points) {
    w.begin_object();
    w.key("value").integer(static_cast<std::int64_t>(p.value));
    write_params(w.key("params"), p.params);
    w.key("runs_finished").integer(p.runs_finished);
    write_summary(w.key("summary"), p.summary);
    w.end_object();
  }
  w.end_array();
  w.end_object();
  return text + "\n";
}

std::string sweep_csv(const SweepReport& report) {
  std::string out = "parameter,value,first_seed,runs," + summary_csv_header() + "\n";
  for (const SweepPoint& p : report.points) {
    for (std::size_t k = 0; k < p.summary.size(); ++k) {
      out += csv_field(report.sweep.name) + "," + std::to_string(p.value) + "," +
             std::to_string(report.first_seed) + "," + std::to_string(report.runs) + "," +
             summary_csv_row(p.summary[k], k) + "\n";
    }
  }
  return out;
}

}  // namespace bruvik
