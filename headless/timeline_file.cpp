#include "headless/timeline_file.h"

#include <atomic>

namespace bruvik {
namespace {

// Set once, by the export library's registration as the program starts.
std::atomic<TimelineDrawer> g_drawer{nullptr};

}  // namespace

void set_timeline_drawer(TimelineDrawer drawer) {
  g_drawer.store(drawer);
}

TimelineDrawer timeline_drawer() {
  return g_drawer.load();
}

}  // namespace bruvik
