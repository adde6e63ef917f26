#include "ui/look.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include "view/window_view.h"  // font_pixels

namespace bruvik {

QColor to_qcolor(const ViewColour& colour, const QPalette& palette) {
  switch (colour.role) {
    case ColourRole::None:
      break;
    case ColourRole::Highlight:
      return palette.color(QPalette::Active, QPalette::Highlight);
    case ColourRole::Base:
      return palette.color(QPalette::Active, QPalette::Base);
    case ColourRole::Button:
      return palette.color(QPalette::Active, QPalette::Button);
    case ColourRole::ButtonText:
      return palette.color(QPalette::Active, QPalette::ButtonText);
    case ColourRole::Text:
      return palette.color(QPalette::Active, QPalette::Text);
    case ColourRole::WindowText:
      return palette.color(QPalette::Active, QPalette::WindowText);
  }
  return QColor(static_cast<QRgb>(colour.rgb));
}

QColor to_qcolor(Colour colour, const QPalette& palette) {
  return to_qcolor(view_colour(colour), palette);
}

QFont control_font(double points, bool bold) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(font_pixels(points));
  font.setBold(bold);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

void install_look(bool pinned_palette) {
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(fusion);
    if (pinned_palette) QApplication::setPalette(fusion->standardPalette());
  }
  QApplication::setFont(control_font(kDefaultFontPoints, false));
}

}  // namespace bruvik
