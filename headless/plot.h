// The sweep plot, seen from the terminal runs: what to draw, without any Qt. The drawing itself
// lives in the plot library (Qt Charts), which installs its drawer when it is linked in.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace bruvik {

struct PlotSeries {
  std::string name;
  // One entry per x value; none where the method ended in no run.
  std::vector<std::optional<double>> mean, low, high;
  // Where each point stands across, with its interval, when it is not at the request's x: the
  // points are then drawn apart, not joined, with bars both ways.
  std::vector<std::optional<double>> x_mean, x_low, x_high;
  // A small text beside each point drawn apart (the swept value it stands for); may be empty.
  std::vector<std::string> labels;
};

// A line drawn dashed, in the colour of series `colour`.
struct PlotCurve {
  std::string name;
  std::size_t colour = 0;
  std::vector<double> x, y;
};

struct PlotRequest {
  std::string title;
  std::string x_title;
  std::string y_title;
  std::string caption;  // the fixed parameters, runs and seeds
  std::vector<double> x;
  std::vector<PlotSeries> series;
  std::vector<PlotCurve> curves;
  std::vector<std::string> notes;  // legend entries without a line
  bool svg = false;                // else PNG
  int width = 1200;                // pixels
  int height = 800;
};

// Draws the plot into the file at `path`; returns an empty string, or one sentence saying what
// went wrong.
using PlotDrawer = std::string (*)(const PlotRequest& request, const std::string& path);

void set_plot_drawer(PlotDrawer drawer);
// The installed drawer; null in a build without the plot library.
PlotDrawer plot_drawer();

}  // namespace bruvik
