// Writes the program's icon, the computer picture of the window, at the usual sizes into an
// icon theme folder: DIR/hicolor/SIZExSIZE/apps/bruvik.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

#include "ui/pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: bruvik-icons DIR\n", stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QImage picture = bruvik::picture_image(bruvik::Picture::Computer);
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    // Whole multiples keep the pixel art sharp; the small sizes are scaled down smoothly.
    const QImage icon = picture.scaled(
        size, size, Qt::IgnoreAspectRatio,
        size % bruvik::kPictureSize == 0 ? Qt::FastTransformation : Qt::SmoothTransformation);
    const QString folder = QString("%1/hicolor/%2x%2/apps").arg(argv[1]).arg(size);
    if (!QDir().mkpath(folder) || !icon.save(folder + "/bruvik.png", "PNG")) {
      std::fprintf(stderr, "bruvik-icons: cannot write %s/bruvik.png\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
