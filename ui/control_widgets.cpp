#include "ui/control_widgets.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextLayout>

#include <algorithm>
#include <utility>

namespace bruvik {

LabelView::LabelView(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
}

void LabelView::set_colours(const QColor& back, const QColor& fore) {
  back_ = back;
  fore_ = fore;
  update();
}

QFont LabelView::drawn_font() const {
  QFont f = font();
  const QFontMetricsF metrics(f, this);
  if (height() >= 2 * metrics.height()) return f;  // a box of several lines wraps instead
  const QString caption = text().trimmed();
  const qreal natural = metrics.horizontalAdvance(caption);
  if (caption.isEmpty() || natural <= width()) return f;
  // This font runs wider than the one the window was laid out for.
  for (int stretch = static_cast<int>(100 * width() / natural); stretch >= 60; --stretch) {
    f.setStretch(stretch);
    if (QFontMetricsF(f, this).horizontalAdvance(caption) <= width()) break;
  }
  return f;
}

static QString caption_text(const QString& text) {
  QString caption = text;
  caption.replace(QLatin1Char('\n'), QChar::LineSeparator);
  return caption;
}

void LabelView::lay_out(QTextLayout& layout) const {
  // Word wrap as the original toolkit does it: breaks only at blanks, and blanks at a break
  // hang past the edge instead of starting the next line. A word wider than the box is cut.
  QTextOption option(Qt::AlignLeft);
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  const qreal line_height = QFontMetricsF(layout.font(), this).height();
  qreal y = 0;
  layout.beginLayout();
  for (;;) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(width());
    line.setPosition(QPointF(0, y));
    y += line_height;
    if (y >= height() + line_height) break;
  }
  layout.endLayout();
}

QStringList LabelView::lines() const {
  const QString caption = caption_text(text());
  QTextLayout layout(caption, drawn_font(), const_cast<LabelView*>(this));
  lay_out(layout);
  QStringList out;
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    out << caption.mid(line.textStart(), line.textLength());
  }
  return out;
}

void LabelView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), back_);
  const QString caption = caption_text(text());
  if (caption.isEmpty()) return;
  QTextLayout layout(caption, drawn_font(), this);
  lay_out(layout);
  painter.setClipRect(rect());
  painter.setPen(fore_);
  layout.draw(&painter, QPointF(0, 0));
}

TextBoxView::TextBoxView(QWidget* parent) : QLineEdit(parent) {
  setTextMargins(0, 0, 0, 0);
}

void TextBoxView::keyPressEvent(QKeyEvent* event) {
  int code = -1;
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    code = 13;
  } else if (event->key() == Qt::Key_Escape) {
    code = 27;
  } else if (!event->text().isEmpty()) {
    code = event->text().at(0).unicode();
  }
  if (code >= 0 && on_key && on_key(code)) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TextBoxView::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (event->reason() != Qt::PopupFocusReason && on_focus_out) on_focus_out();
}

CommandView::CommandView(QWidget* parent) : EnterButton(parent) {
  setAutoDefault(false);
}

void EnterButton::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const auto mods = event->modifiers() & ~Qt::KeypadModifier;
  if (enter && mods == Qt::NoModifier && !event->isAutoRepeat()) {
    event->accept();
    if (isEnabled()) click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void CommandView::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  option.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButtonBevel, option);
  painter.setFont(font());
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.drawText(rect(), Qt::AlignCenter, text());
}

OptionView::OptionView(QWidget* parent) : QRadioButton(parent) {
  setAutoExclusive(false);
}

FrameView::FrameView(QWidget* parent, const QColor& back) : QWidget(parent), back_(back) {}

void FrameView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), back_);
  if (width() < 3 || height() < 3) return;
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(QRect(0, 0, width() - 2, height() - 2));
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(QRect(1, 1, width() - 2, height() - 2));
}

namespace {
constexpr int kLineMargin = 2;  // room for the busy look's width around the line
}

LineView::LineView(QWidget* parent, QPoint from, QPoint to)
    : QWidget(parent), from_(from), to_(to) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  place();
}

void LineView::place() {
  setGeometry(QRect(from_, to_)
                  .normalized()
                  .adjusted(-kLineMargin, -kLineMargin, kLineMargin, kLineMargin));
}

void LineView::set_look(const QColor& colour, int width) {
  if (colour == colour_ && width == width_) return;
  colour_ = colour;
  width_ = std::clamp(width, 1, kLineMargin * 2);
  update();
}

void LineView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.translate(-pos());
  painter.setPen(QPen(colour_, width_, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(from_, to_);
}

ShapeView::ShapeView(QWidget* parent, ShapeStyle style) : QWidget(parent), style_(style) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeView::set_look(const QColor& colour, int width) {
  if (colour == colour_ && width == width_) return;
  colour_ = colour;
  width_ = std::max(width, 1);
  update();
}

void ShapeView::paintEvent(QPaintEvent*) {
  const int side = std::min(width(), height());
  if (side <= 0 || style_ == ShapeStyle::None) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(colour_, width_));
  painter.setBrush(Qt::NoBrush);
  const qreal half = width_ / 2.0;
  const QRectF box = QRectF((width() - side) / 2, (height() - side) / 2, side, side)
                         .adjusted(half, half, -half, -half);
  if (style_ == ShapeStyle::Circle) {
    painter.drawEllipse(box);
  } else {
    const qreal radius = side * 0.18;
    painter.drawRoundedRect(box, radius, radius);
  }
}

ImageView::ImageView(QWidget* parent, QImage image, bool stretch)
    : QWidget(parent), image_(std::move(image)), stretch_(stretch) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ImageView::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter painter(this);
  if (stretch_) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), image_);
  } else {
    painter.drawImage(QPoint(0, 0), image_);
  }
}

}  // namespace bruvik
