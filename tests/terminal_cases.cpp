// The terminal runs of tools/compare-outputs and the golden runs, through headless's API, one
// after another on standard output. Built natively and to WebAssembly (run by node):
// tools/web-compare holds that both print the same bytes.
//
//   terminal_cases            every case, each under a "=== name" line
//   terminal_cases NAME       that case's standard output alone
//
// Files (traces, experiments, plots) are written in the current folder and printed after the
// case; plots as the page's module writes them, as JSON.
#include <cstdio>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "headless/plot_json.h"
#include "headless/run.h"
#include "headless/terminal.h"
#include "headless/textbook_curves.h"
#include "headless/trace.h"
#include "model/methods.h"
#include "model/numtext.h"

namespace bruvik {
namespace {

struct Case {
  std::string name;
  Options options;
  std::vector<std::string> files;  // written by the case, printed after it
};

// The file a case writes (named for it) when `kind` is asked for.
std::string file_of(const std::string& name, const char* kind) {
  return name + (std::string(kind) == "trace" ? ".csv" : ".bruvik");
}

std::vector<Case> cases() {
  constexpr auto text = OutputFormat::Text;
  constexpr auto json = OutputFormat::Json;
  constexpr auto csv = OutputFormat::Csv;
  // Bytes that are not text, in the typed data amount.
  const std::string odd =
      "12\x01\xff\"\\\xe2\x82"
      "A\xc0\x80\xed\xa0\x80\xf0\x9f\x98\x80\t\x7f\x1f\b\f\r\n/";
  std::vector<Case> out = {
      // The golden runs, as tests/golden holds them.
      {"run_seed7_default.json", {.seed = 7, .format = json}},
      {"run_seed11_rate8.json", {.seed = 11, .rate = 8, .format = json}},
      {"run_seed13_mtu2_frame9.json", {.seed = 13, .mtu = 2, .frame_length = 9, .format = json}},
      {"runs300-rate9-mtu1-frame10.json",
       {.seed = 1, .mtu = 1, .rate = 9, .frame_length = 10, .format = json, .runs = 300}},
      {"runs300-data7.json", {.seed = 1, .data_amount = "7", .format = json, .runs = 300}},
      {"runs300-maxtime-short.json", {.seed = 500, .format = json, .max_time = 30000, .runs = 300}},
      {"runs1.json", {.seed = 9, .format = json, .runs = 1}},
      {"sweep-mtu-step.json",
       {.seed = 3,
        .format = json,
        .max_time = 300000,
        .runs = 10,
        .sweep = Sweep{"mtu", 1, 10, 3}}},
      {"seed-max.json", {.seed = 18446744073709551615ull, .format = json}},
      {"seed3-data10000.json",
       {.seed = 3, .data_amount = "10000", .format = json, .max_time = 100000000}},
      {"seed5-maxtime.json", {.seed = 5, .format = json, .max_time = 1000}},
      // Mid-run dumps of the window's state.
      {"dump-seed4.json", {.seed = 4, .dump_at = 30000, .start = true}},
      {"dump-seed4-at0.json", {.seed = 4, .dump_at = 0}},
      {"dump-seed8-late.json", {.seed = 8, .rate = 9, .dump_at = 400000, .start = true}},
      {"dump-seed7-1per.json", {.seed = 7, .dump_at = 150000, .start = true}},
      {"dump-seed7-pper.json", {.seed = 7, .dump_at = 230000, .start = true}},
      {"dump-seed21-mtu1.json",
       {.seed = 21, .mtu = 1, .frame_length = 10, .dump_at = 120000, .start = true}},
  };
  for (const auto& [format, ext] : {std::pair{text, ".txt"}, {json, ".json"}, {csv, ".csv"}}) {
    const std::string e = ext;
    out.push_back({"runs300" + e, {.seed = 1, .format = format, .runs = 300}});
    out.push_back({"runs300-rate10-maxtime" + e,
                   {.seed = 1, .rate = 10, .format = format, .max_time = 200000, .runs = 300}});
    out.push_back({"sweep-rate" + e,
                   {.seed = 1, .format = format, .runs = 20, .sweep = Sweep{"rate", 1, 9, 1}}});
    out.push_back(
        {"sweep-data-amount" + e,
         {.seed = 2, .format = format, .runs = 5, .sweep = Sweep{"data-amount", -3, 3, 1}}});
    out.push_back({"seed7" + e, {.seed = 7, .format = format}});
    out.push_back({"odd-bytes" + e, {.seed = 7, .data_amount = odd, .format = format}});
    out.push_back(
        {"odd-bytes-runs" + e, {.seed = 7, .data_amount = odd, .format = format, .runs = 3}});
  }
  // Every rate (10 capped), MTU and frame length at their ends, small and large data amounts.
  for (const int rate : {1, 5, 9, 10}) {
    for (const int mtu : {1, 10}) {
      for (const int frame : {1, 10}) {
        for (const char* amount : {"7", "1000"}) {
          out.push_back({"grid-r" + std::to_string(rate) + "-m" + std::to_string(mtu) + "-f" +
                             std::to_string(frame) + "-a" + amount + ".json",
                         {.seed = static_cast<std::uint64_t>(rate * 100 + mtu * 10 + frame),
                          .mtu = mtu,
                          .rate = rate,
                          .frame_length = frame,
                          .data_amount = amount,
                          .format = json,
                          .max_time = 400000,
                          .runs = 20}});
        }
      }
    }
  }
  // Full traces and saved experiments, then each experiment replayed and dumped.
  const Case traced[] = {
      {"trace-seed7", {.seed = 7}},
      {"trace-seed8-rate9", {.seed = 8, .rate = 9}},
      {"trace-seed9-mtu1-frame10", {.seed = 9, .mtu = 1, .frame_length = 10}},
      {"trace-seed10-rate1-data7", {.seed = 10, .rate = 1, .data_amount = "7"}},
      {"trace-seed11-rate10-capped", {.seed = 11, .rate = 10, .max_time = 300000}},
  };
  for (Case c : traced) {
    const std::string trace = file_of(c.name, "trace"), experiment = file_of(c.name, "experiment");
    c.options.trace = trace;
    c.options.save_experiment = experiment;
    c.files = {trace, experiment};
    out.push_back(c);
    out.push_back({c.name + "-replayed.json",
                   {.dump_at = 60000, .experiment = experiment, .at_given = true}});
  }
  // The sweep's plots as the page gets them, with the table they draw.
  for (const PlotAxis axis : {PlotAxis::Value, PlotAxis::Load}) {
    const std::string name = axis == PlotAxis::Value ? "plot-rate-value" : "plot-rate-load";
    const std::string file = name + ".plot.json";
    out.push_back({name + ".json",
                   {.seed = 1,
                    .format = json,
                    .runs = 20,
                    .sweep = Sweep{"rate", 1, 9, 1},
                    .plot = file,
                    .plot_axis = axis},
                   {file}});
  }
  for (Case& c : out) {
    c.options.headless = true;
    c.options.threads = 2;  // one in WebAssembly
  }
  return out;
}

// The event fingerprints of the golden runs, as tests/golden/fingerprints.txt holds them.
std::string fingerprints(const std::vector<Case>& all) {
  std::string text = "# run, method, events, FNV-1a 64 of (time, kind, timer, station, value)\n";
  for (std::size_t i = 0; i < 3; ++i) {
    const Case& c = all[i];
    Fingerprint f;
    run_once(run_params(c.options, *c.options.seed), &f);
    for (std::size_t k = 0; k < 5; ++k) {
      char hex[20];
      std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(f.per_method()[k]));
      text +=
          c.name + " " + methods()[k].code + " " + std::to_string(f.events()[k]) + " " + hex + "\n";
    }
  }
  return text;
}

// The load plot's textbook curves, every digit, over the loads and delays a plot draws.
std::string curves() {
  std::string text;
  char buf[40];
  const auto put = [&](double v) {
    text += ' ';
    text.append(buf, numtext::write_round_trip(buf, v));
  };
  for (int i = 0; i <= 2000; ++i) {
    const double g = i / 100.0;
    text += std::to_string(i);
    put(pure_aloha_throughput(g));
    put(slotted_aloha_throughput(g));
    for (const double a : {0.0, 0.01, 1 / 3.0, 0.5, 1.0}) {
      put(non_persistent_csma_throughput(g, a));
      put(one_persistent_csma_throughput(g, a));
    }
    text += '\n';
  }
  return text;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int run(const Case& c, std::ostream& out, std::ostream& err) {
  return c.options.dump_at ? dump_state(c.options, out, err) : run_terminal(c.options, out, err);
}

}  // namespace
}  // namespace bruvik

int main(int argc, char** argv) {
  using namespace bruvik;
  set_plot_drawer(&write_plot_json);
  const std::vector<Case> all = cases();
  std::ostream& stdout_ = std::cout;
  if (argc == 2) {
    const std::string name = argv[1];
    if (name == "fingerprints.txt") {
      stdout_ << fingerprints(all);
      return 0;
    }
    for (const Case& c : all) {
      if (c.name == name) return run(c, stdout_, std::cerr);
    }
    std::cerr << "terminal_cases: no case " << name << "\n";
    return 2;
  }
  for (const Case& c : all) {
    std::ostringstream out, err;
    const int code = run(c, out, err);
    stdout_ << "=== " << c.name << " exit " << code << "\n"
            << out.str() << "--- errors\n"
            << err.str();
    for (const std::string& file : c.files) stdout_ << "--- " << file << "\n" << read_file(file);
  }
  stdout_ << "=== fingerprints.txt\n" << fingerprints(all);
  stdout_ << "=== curves\n" << curves();
  return 0;
}
