// The sweep plot's request as JSON, for a front that draws it itself (the page): every field of
// PlotRequest under its own name, numbers as json_number writes them, a missing point as null.
#pragma once

#include <string>

#include "headless/plot.h"

namespace bruvik {

std::string plot_request_json(const PlotRequest& request);

// A PlotDrawer that writes plot_request_json into the file at `path`.
std::string write_plot_json(const PlotRequest& request, const std::string& path);

}  // namespace bruvik
