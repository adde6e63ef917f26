// The timeline picture of a terminal run, seen from the terminal runs: what to draw, without any
// Qt. The drawing lives in the timeline export library, which installs its drawer when it is
// linked in.
#pragma once

#include <string>

#include "history/record.h"

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

// Draws the timeline into the file at `path`; returns an empty string, or one sentence saying
// what went wrong.
using TimelineDrawer = std::string (*)(const TimelineRequest& request, const std::string& path);

void set_timeline_drawer(TimelineDrawer drawer);
// The installed drawer; null in a build without the timeline export library.
TimelineDrawer timeline_drawer();

}  // namespace bruvik
