// What the command line asks for. Filled by the command-line parser; read by the window, the
// screenshot, the state dump and the terminal runs. No Qt here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/clock.h"

namespace bruvik {

enum class OutputFormat { Text, Json, Csv };

// What the sweep plot's x axis shows: the swept value, or the offered load measured on the bus.
enum class PlotAxis { Value, Load };

struct Sweep {
  std::string name;  // "rate", "mtu", "frame-length" or "data-amount"
  long long from = 0;
  long long to = 0;
  long long step = 1;
};

struct Options {
  std::optional<std::uint64_t> seed;  // none: drawn once and printed

  // Operator values, set by pressing their buttons from 5, and the data amount, typed.
  int mtu = 5;
  int rate = 5;
  int frame_length = 5;
  std::string data_amount = "100";

  // Modes.
  bool headless = false;
  std::optional<VirtualMs> dump_at;       // with headless: print the window state at MS
  std::optional<std::string> screenshot;  // render the window to this PNG and exit
  VirtualMs at = 0;                       // with screenshot: after MS virtual ms
  bool start = false;  // with screenshot or dump: press "EnableThe Computers" at time 0
  // With screenshot: the timeline pane in the picture.
  bool with_timeline = false;

  // Terminal runs.
  OutputFormat format = OutputFormat::Text;
  VirtualMs max_time = 3600000;
  int runs = 1;
  int threads = 0;  // 0: all cores
  std::optional<Sweep> sweep;
  std::optional<std::string> plot;
  PlotAxis plot_axis = PlotAxis::Value;
  std::optional<std::string> trace;
  // The timeline picture of a single run (.svg or .png), of [from, to] (default: the whole run).
  std::optional<std::string> timeline;
  std::optional<VirtualMs> timeline_from;
  std::optional<VirtualMs> timeline_to;

  // The window.
  double speed = 1.0;  // 0 means as fast as possible

  // Experiment files: the one to open (`bruvik FILE`, or --replay FILE for the terminal and the
  // screenshot), and the file a terminal run is saved to.
  std::optional<std::string> experiment;
  std::optional<std::string> save_experiment;
  bool at_given = false;  // --at was given (with --replay: else the moment the file was saved)

  // Everything after the program name, as given, for RESTART.
  std::vector<std::string> arguments;
};

// Exit code for a refused command line.
inline constexpr int kUsageError = 2;

}  // namespace bruvik
