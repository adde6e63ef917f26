// The window and the pictures (the sweep plot, the timeline) live in a library of their own,
// loaded only when one of them is asked for: a terminal run then loads no Qt at all.
#pragma once

#include <string>

#include "headless/plot.h"
#include "headless/timeline_file.h"
#include "model/clock.h"
#include "options/options.h"

namespace bruvik {

struct GuiLibrary {
  int (*run_window)(const Options& options, int& argc, char** argv);
  int (*take_screenshot)(const Options& options, int& argc, char** argv);
  PlotDrawer draw_plot;
  TimelineDrawer draw_timeline;
};

// The library's one exported function. It holds its own copy of the core, so it is told the
// clock's mode; it answers null to a program of another version, whose options differ.
using GuiLibraryEntry = const GuiLibrary* (*)(const char* version, ClockMode mode);
inline constexpr const char* kGuiLibraryFile = "libbruvik-gui.so";
inline constexpr const char* kGuiLibraryEntry = "bruvik_gui_library";

// Loads the library (beside the program, or where it is installed); null, and one sentence in
// `error`, when it cannot be had.
const GuiLibrary* load_gui_library(ClockMode mode, std::string& error);

}  // namespace bruvik
