#include "headless/report.h"

#include <cstdio>

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

void write_params(JsonWriter& json, const RunParams& p, const std::string& swept = "") {
  json.begin_object();
  const auto whole = [&](const char* key, const char* name, int v) {
    json.key(key);
    if (swept == name) {
      json.null();
    } else {
      json.value(v);
    }
  };
  whole("mtu", "mtu", p.mtu);
  whole("rate", "rate", p.rate);
  whole("frame_length", "frame-length", p.frame_length);
  json.key("data_amount");
  if (swept == "data-amount") {
    json.null();
  } else {
    json.value(p.data_amount);
  }
  json.key("max_time_ms");
  json.value(p.max_time);
  json.end_object();
}

std::string params_line(const RunParams& p, const std::string& swept = "") {
  const auto part = [&](const char* name, const std::string& words, const std::string& v) {
    return words + " " + (swept == name ? std::string("(swept)") : v);
  };
  return "parameters: " + part("mtu", "network MTU", std::to_string(p.mtu)) + ", " +
         part("rate", "data sending rate", std::to_string(p.rate)) + ", " +
         part("frame-length", "average frame length", std::to_string(p.frame_length)) + ", " +
         part("data-amount", "data amount", json_string(p.data_amount)) + ", max time " +
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

void write_summary_figure(JsonWriter& json, const char* key, const Summary& s) {
  json.key(key);
  json.begin_object();
  json.key("n");
  json.value(s.n);
  json.key("mean");
  json.value(s.mean);
  json.key("sd");
  json.value(s.sd);
  json.key("ci95_low");
  json.value(s.ci95_low);
  json.key("ci95_high");
  json.value(s.ci95_high);
  json.end_object();
}

void write_summary(JsonWriter& json, const std::array<MethodSummary, 5>& summary) {
  json.begin_object();
  for (std::size_t k = 0; k < summary.size(); ++k) {
    json.key(methods()[k].code);
    json.begin_object();
    json.key("finished");
    json.value(summary[k].finished);
    write_summary_figure(json, "collision_pct", summary[k].collision_pct);
    write_summary_figure(json, "throughput", summary[k].throughput);
    write_summary_figure(json, "duration_ms", summary[k].duration_ms);
    json.end_object();
  }
  json.end_object();
}

std::string summary_tables(const std::array<MethodSummary, 5>& summary, int runs) {
  struct Figure {
    const char* title;
    const Summary MethodSummary::*member;
    int decimals;
  };
  static constexpr Figure kFigures[] = {
      {"collision percentage (collisions x 100 / data sent, at the method's end)",
       &MethodSummary::collision_pct, 3},
      {"throughput (successful sendings per virtual second of the method)",
       &MethodSummary::throughput, 3},
      {"duration (virtual ms from the method's start to its end)", &MethodSummary::duration_ms, 1},
  };
  std::string out;
  for (const Figure& f : kFigures) {
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
  for (const char* f : {"collision_pct", "throughput", "duration_ms"}) {
    for (const char* s : {"n", "mean", "sd", "ci95_low", "ci95_high"}) {
      h += ",";
      h += f;
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
  for (const Summary* s : {&m.collision_pct, &m.throughput, &m.duration_ms}) {
    row += "," + std::to_string(s->n) + "," + opt(s->mean) + "," + opt(s->sd) + "," +
           opt(s->ci95_low) + "," + opt(s->ci95_high);
  }
  return row;
}

std::string seeds_line(std::uint64_t first, std::size_t count) {
  return "seeds: " + std::to_string(first) + " to " + std::to_string(first + count - 1) + " (" +
         std::to_string(count) + (count == 1 ? " run" : " runs") + ")\n";
}

void write_seeds(JsonWriter& json, std::uint64_t first, std::size_t count) {
  json.key("seeds");
  json.begin_object();
  json.key("first");
  json.value(first);
  json.key("count");
  json.value(static_cast<std::uint64_t>(count));
  json.end_object();
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

void write_run_json(JsonWriter& json, const RunResult& run) {
  json.begin_object();
  json.key("seed");
  json.value(run.params.seed);
  json.key("params");
  write_params(json, run.params);
  json.key("finished");
  json.value(run.finished);
  json.key("virtual_ms");
  json.value(run.virtual_ms);
  json.key("methods");
  json.begin_array();
  for (const MethodResult& m : run.methods) {
    json.begin_object();
    json.key("code");
    json.value(m.code);
    json.key("name");
    json.value(m.name);
    json.key("reached");
    json.value(m.reached);
    json.key("ended");
    json.value(m.ended);
    const auto figure = [&](const char* key, double v) {
      json.key(key);
      if (m.ended) {
        json.value(v);
      } else {
        json.null();
      }
    };
    figure("data_sent", m.data_sent);
    figure("collisions", m.collisions);
    figure("seconds", m.seconds);
    json.key("statistics_line");
    if (m.ended) {
      json.value(m.statistics_line);
    } else {
      json.null();
    }
    json.key("throughput_text");
    if (m.ended) {
      json.value(m.throughput_text);
    } else {
      json.null();
    }
    json.key("started_ms");
    if (m.reached) {
      json.value(m.started_ms);
    } else {
      json.null();
    }
    json.key("ended_ms");
    if (m.ended) {
      json.value(m.ended_ms);
    } else {
      json.null();
    }
    json.end_object();
  }
  json.end_array();
  json.key("table");
  json.begin_array();
  for (const TableRow& row : run.table) {
    json.begin_object();
    json.key("place");
    json.value(row.place);
    json.key("name");
    json.value(row.name);
    json.key("value");
    json.value(row.value);
    json.end_object();
  }
  json.end_array();
  json.end_object();
}

std::string run_json(const RunResult& run) {
  std::string out;
  JsonWriter json(out);
  write_run_json(json, run);
  return out;
}

std::string run_text(const RunResult& run) {
  std::string out = "BRUVIK terminal run\nseed: " + std::to_string(run.params.seed) + "\n";
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
      "throughput_text,started_ms,ended_ms,place\n";
  for (const MethodResult& m : run.methods) {
    const auto shown = [&](const std::string& s) { return m.ended ? s : std::string(); };
    const int place = place_of(run, m);
    out += std::to_string(run.params.seed) + "," + csv_field(m.code) + "," + csv_field(m.name) +
           "," + yes_no(m.reached) + "," + yes_no(m.ended) + "," + shown(num(m.data_sent)) + "," +
           shown(num(m.collisions)) + "," + shown(num(m.seconds)) + "," +
           shown(csv_field(m.statistics_line)) + "," + shown(csv_field(m.throughput_text)) + "," +
           (m.reached ? std::to_string(m.started_ms) : "") + "," +
           shown(std::to_string(m.ended_ms)) + "," + (place > 0 ? std::to_string(place) : "") +
           "\n";
  }
  return out;
}

BatchReport make_batch_report(std::vector<RunResult> runs) {
  BatchReport r;
  if (!runs.empty()) {
    r.params = runs.front().params;
    r.first_seed = runs.front().params.seed;
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
  JsonWriter json(text);
  json.begin_object();
  write_seeds(json, report.first_seed, report.runs.size());
  json.key("params");
  write_params(json, report.params);
  json.key("runs");
  json.begin_array();
  for (const RunResult& r : report.runs) {
    write_run_json(json, r);
    out << text;
    text.clear();
  }
  json.end_array();
  json.key("summary");
  write_summary(json, report.summary);
  json.end_object();
  out << text;
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
  if (name == "rate") p.rate = static_cast<int>(value);
  if (name == "mtu") p.mtu = static_cast<int>(value);
  if (name == "frame-length") p.frame_length = static_cast<int>(value);
  if (name == "data-amount") p.data_amount = std::to_string(value);
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
  std::string out;
  JsonWriter json(out);
  json.begin_object();
  json.key("sweep");
  json.begin_object();
  json.key("name");
  json.value(report.sweep.name);
  json.key("from");
  json.value(static_cast<std::int64_t>(report.sweep.from));
  json.key("to");
  json.value(static_cast<std::int64_t>(report.sweep.to));
  json.key("step");
  json.value(static_cast<std::int64_t>(report.sweep.step));
  json.end_object();
  write_seeds(json, report.first_seed, static_cast<std::size_t>(report.runs));
  json.key("params");
  write_params(json, report.base, report.sweep.name);
  json.key("points");
  json.begin_array();
  for (const SweepPoint& p : report.points) {
    json.begin_object();
    json.key("value");
    json.value(static_cast<std::int64_t>(p.value));
    json.key("params");
    write_params(json, p.params);
    json.key("runs_finished");
    json.value(p.runs_finished);
    json.key("summary");
    write_summary(json, p.summary);
    json.end_object();
  }
  json.end_array();
  json.end_object();
  return out;
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
