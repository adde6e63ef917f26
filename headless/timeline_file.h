// The timeline picture of a terminal run, seen from the terminal runs: what to draw, without any
// Qt. An SVG is written here; a PNG by the timeline export library, which installs its drawer
// when it is linked in.
#pragma once

#include <string>

#include "history/record.h"
#include "timeline/picture.h"

namespace bruvik {

struct TimelineRequest {
  const RunRecord* record = nullptr;
  VirtualMs from = 0;
  VirtualMs to = 0;
  VirtualMs end = 0;  // where the run stopped
  std::string title;
  bool svg = false;  // else PNG
  int width = 1600;  // pixels
  int height = 420;
};

// The title over the timeline of the asked stretch, its texts measured by `measure`.
TimelinePicture timeline_picture(const TimelineRequest& request, const TextMeasure& measure);

// Draws the timeline into the file at `path`; returns an empty string, or one sentence saying
// what went wrong.
using TimelineDrawer = std::string (*)(const TimelineRequest& request, const std::string& path);

// Installs the drawer of PNG pictures.
void set_timeline_drawer(TimelineDrawer drawer);
bool draws_png_timelines();
// A file name ending in ".svg" in any case: drawn without any library.
bool svg_file_name(const std::string& file);
// Draws an SVG itself and a PNG with the installed drawer; a PNG without one is refused.
TimelineDrawer timeline_drawer();

}  // namespace bruvik
