#include "headless/plot.h"

#include <atomic>

namespace bruvik {
namespace {

// Set once, by the plot library's registration as the program starts.
std::atomic<PlotDrawer> g_drawer{nullptr};

}  // namespace

void set_plot_drawer(PlotDrawer drawer) {
  g_drawer.store(drawer);
}

PlotDrawer plot_drawer() {
  return g_drawer.load();
}

}  // namespace bruvik
