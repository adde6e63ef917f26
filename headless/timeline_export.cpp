// The timeline of a terminal run drawn to an SVG or PNG file without a display, with the same
// painter as the window's pane.
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <memory>

#include "headless/timeline_file.h"
#include "timeline/painter.h"
#include "timeline/style.h"

namespace bruvik {
namespace {

constexpr int kTitleHeight = 34;

// Sets what the offscreen platform needs before the application exists.
void prepare_offscreen() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QString dir = QDir::tempPath() + "/bruvik-runtime-" + QString::number(::getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
  }
}

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
  std::unique_ptr<QGuiApplication> app;
  if (QCoreApplication::instance() == nullptr) {
    prepare_offscreen();
    static int argc = 1;
    static char name[] = "bruvik";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  } else if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    return "pictures need a graphical application, and another kind is running";
  }
  const QString file = QFile::decodeName(path.c_str());
  if (q.svg) {
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(q.width, q.height));
    svg.setViewBox(QRect(0, 0, q.width, q.height));
    svg.setTitle(QString::fromStdString(q.title));
    QPainter painter;
    if (!painter.begin(&svg)) return "the SVG file could not be started";
    paint(painter, q);
    painter.end();
    if (QFileInfo(file).size() == 0) return "the SVG file stayed empty";
    return {};
  }
  QImage image(q.width, q.height, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    paint(painter, q);
  }
  if (!image.save(file, "PNG")) return "the PNG file could not be written";
  return {};
}

// Linking this library in installs the drawer.
struct Registration {
  Registration() { set_timeline_drawer(&draw); }
} registration;

}  // namespace
}  // namespace bruvik
