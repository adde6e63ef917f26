#include "ui/pictures.h"

namespace bruvik {
namespace {

QImage from_rows(const PictureRows& rows) {
  QImage image(kPictureSize, kPictureSize, QImage::Format_ARGB32);
  for (int y = 0; y < kPictureSize; ++y) {
    const std::string_view row = rows[static_cast<std::size_t>(y)];
    for (int x = 0; x < kPictureSize; ++x) {
      const std::optional<std::uint32_t> rgb = pixel_colour(row[static_cast<std::size_t>(x)]);
      image.setPixel(x, y, rgb ? QRgb{0xFF000000u | *rgb} : qRgba(0, 0, 0, 0));
    }
  }
  return image;
}

}  // namespace

QImage picture_image(Picture picture) {
  switch (picture) {
    case Picture::Computer: {
      static const QImage image = from_rows(*picture_rows(picture));
      return image;
    }
    case Picture::Lightning: {
      static const QImage image = from_rows(*picture_rows(picture));
      return image;
    }
    case Picture::Flag: {
      static const QImage image = from_rows(*picture_rows(picture));
      return image;
    }
    case Picture::None:
      break;
  }
  return QImage();
}

}  // namespace bruvik
