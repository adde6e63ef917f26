// The timeline of a terminal run drawn to an SVG or PNG file without a display, with the same
// painter as the window's pane.
#include <QFile>
#include <QPainter>

#include "headless/picture_file.h"
#include "headless/timeline_file.h"
#include "timeline/painter.h"
#include "timeline/style.h"

namespace bruvik {
namespace {

constexpr int kTitleHeight = 34;

// Sets what the offscreen platform needs before the application exists.
void paint(QPainter& painter, const TimelineRequest& q) {
  const TimelineStyle style = timeline_style(13);
  painter.fillRect(QRectF(0, 0, q.width, q.height), style.background);
  QFont title = style.font;
  title.setPixelSize(16);
  title.setBold(true);
  painter.setFont(title);
  painter.setPen(style.text);
  painter.drawText(QRectF(12, 0, q.width - 24, kTitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(q.title));
  TimelineSpan span;
  span.from = q.from;
  span.to = q.to;
  span.end = q.end;
  span.cursor = q.end;  // where the run stopped, when the stretch reaches it
  paint_timeline(painter, QRectF(0, kTitleHeight, q.width, q.height - kTitleHeight - 4), *q.record,
                 span, style);
}

std::string draw(const TimelineRequest& q, const std::string& path) {
  std::string error;
  const auto app = offscreen_application(false, error);
  if (!error.empty()) return error;
  PictureFile f;
  f.path = QFile::decodeName(path.c_str());
  f.svg = q.svg;
  f.width = q.width;
  f.height = q.height;
  f.title = QString::fromStdString(q.title);
  return write_picture(f, [&](QPainter& painter) { paint(painter, q); });
}

// Linking this library in installs the drawer.
struct Registration {
  Registration() { set_timeline_drawer(&draw); }
} registration;

}  // namespace
}  // namespace bruvik
