// The PNG picture of a terminal run's timeline, drawn without a display by the window's painter
// from the same layout as the pane and the SVG.
#include <QFile>

#include "headless/picture_file.h"
#include "headless/timeline_file.h"
#include "ui/timeline_qpainter.h"

namespace bruvik {
namespace {

std::string draw(const TimelineRequest& q, const std::string& path) {
  std::string error;
  const auto app = offscreen_application(false, error);
  if (!error.empty()) return error;
  // Measured by the fonts it is drawn with, so it is laid out once the application exists.
  const TimelinePicture picture = timeline_picture(q, QtTextMeasure());
  PictureFile f;
  f.path = QFile::decodeName(path.c_str());
  f.width = q.width;
  f.height = q.height;
  return write_picture(f, [&](QPainter& painter) { draw_picture(painter, picture); });
}

// Linking this library in installs the drawer.
struct Registration {
  Registration() { set_timeline_drawer(&draw); }
} registration;

}  // namespace
}  // namespace bruvik
