#include "ui/look.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include <cmath>

namespace bruvik {

QColor to_qcolor(Colour colour, const QPalette& palette) {
  if (is_system_colour(colour)) {
    switch (colour) {
      case kHighlight:
        return palette.color(QPalette::Active, QPalette::Highlight);
      case kWindowBackground:
      case kTextBoxBackground:
        return palette.color(QPalette::Active, QPalette::Base);
      case kButtonFace:
        return palette.color(QPalette::Active, QPalette::Button);
      case kButtonText:
        return palette.color(QPalette::Active, QPalette::ButtonText);
      case kWindowText:
        return palette.color(QPalette::Active, QPalette::Text);
      default:
        // A system colour the window does not use: the text colour keeps it visible.
        return palette.color(QPalette::Active, QPalette::WindowText);
    }
  }
  return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                static_cast<int>((colour >> 16) & 0xFFu));
}

int font_pixels(double points) {
  return static_cast<int>(std::lround(points * 96.0 / 72.0));
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
