#include "headless/picture_file.h"

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSvgGenerator>

namespace bruvik {
namespace {

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

}  // namespace

std::unique_ptr<QCoreApplication> offscreen_application(bool widgets, std::string& error) {
  if (QCoreApplication* running = QCoreApplication::instance(); running != nullptr) {
    const bool fits = widgets ? qobject_cast<QApplication*>(running) != nullptr
                              : qobject_cast<QGuiApplication*>(running) != nullptr;
    if (!fits) error = "pictures need a graphical application, and another kind is running";
    return nullptr;
  }
  prepare_offscreen();
  static int argc = 1;
  static char name[] = "bruvik";
  static char* argv[] = {name, nullptr};
  if (widgets) return std::make_unique<QApplication>(argc, argv);
  return std::make_unique<QGuiApplication>(argc, argv);
}

std::string write_picture(const PictureFile& f, const std::function<void(QPainter&)>& paint) {
  if (f.svg) {
    QSvgGenerator svg;
    svg.setFileName(f.path);
    svg.setSize(QSize(f.width, f.height));
    svg.setViewBox(QRect(0, 0, f.width, f.height));
    svg.setTitle(f.title);
    if (!f.description.isEmpty()) svg.setDescription(f.description);
    QPainter painter;
    if (!painter.begin(&svg)) return "the SVG file could not be started";
    paint(painter);
    painter.end();
    if (QFileInfo(f.path).size() == 0) return "the SVG file stayed empty";
    return {};
  }
  QImage image(f.width, f.height, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    paint(painter);
  }
  if (!image.save(f.path, "PNG")) return "the PNG file could not be written";
  return {};
}

}  // namespace bruvik
