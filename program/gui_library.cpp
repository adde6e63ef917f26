// The window library's side: what `bruvik` finds in libbruvik-gui.so.
#include "program/gui_library.h"

#include <QCoreApplication>

#include <cstring>

#include "ui/window_app.h"

extern "C" __attribute__((visibility("default"))) const bruvik::GuiLibrary* bruvik_gui_library(
    const char* version, bruvik::ClockMode mode) {
  if (version == nullptr || std::strcmp(version, BRUVIK_VERSION) != 0) return nullptr;
  bruvik::set_default_clock_mode(mode);
  QCoreApplication::setApplicationName("bruvik");
  QCoreApplication::setApplicationVersion(BRUVIK_VERSION);
  // The drawers were installed by linking the plot and timeline libraries in.
  static const bruvik::GuiLibrary library{&bruvik::run_window, &bruvik::take_screenshot,
                                          bruvik::plot_drawer(), bruvik::timeline_drawer()};
  return &library;
}
