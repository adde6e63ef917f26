// The widgets that draw the controls of the window, one class per kind of control. They hold
// no simulation state: the form view sets what they show, the main window listens to them.
#pragma once

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTextLayout>
#include <QWidget>

#include <functional>

#include "model/control.h"

namespace bruvik {

// A label drawn the way the original toolkit draws one: opaque background, the caption from
// the top-left corner, broken into lines at blanks to fit the width. Blanks are kept as typed,
// so a run of blanks that reaches the edge pushes the next word onto the next line.
class LabelView : public QLabel {
 public:
  explicit LabelView(QWidget* parent);
  void set_colours(const QColor& back, const QColor& fore);

  // The font the caption is drawn with: the label's own, narrowed where a caption meant for
  // one line would not fit its one-line box in this font.
  QFont drawn_font() const;
  // The caption's lines as drawn, blanks included.
  QStringList lines() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Breaks the caption into lines in `layout`, which holds it in the drawn font.
  void lay_out(QTextLayout& layout) const;

  QColor back_, fore_;
};

// A text box. Keys that type a character go first to `on_key` with their character code
// (Enter is 13, Escape 27); when it returns true the box does not see the key.
class TextBoxView : public QLineEdit {
 public:
  explicit TextBoxView(QWidget* parent);

  std::function<bool(int code)> on_key;
  // The box lost the keyboard focus to another control or window (not to its own menu).
  std::function<void()> on_focus_out;

  // While set, an edit the user has not finished is kept when the model's text differs.
  bool keeps_pending_edit = false;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

// A push button that Enter clicks when it has the focus, as Space does: the way the desktop
// this window comes from behaves, and what keyboard users try first.
class EnterButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// A command button whose caption is centred without the style's margins, so that "<" and ">"
// fit their 9-pixel buttons.
class CommandView : public EnterButton {
 public:
  explicit CommandView(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// An option button whose selection the model decides: a click asks, it does not toggle.
class OptionView : public QRadioButton {
 public:
  explicit OptionView(QWidget* parent);

 protected:
  void nextCheckState() override {}
};

// A frame without caption: its background and an etched border.
class FrameView : public QWidget {
 public:
  FrameView(QWidget* parent, const QColor& back);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor back_;
};

// A line between two points of its container.
class LineView : public QWidget {
 public:
  // End points in the container's pixels.
  LineView(QWidget* parent, QPoint from, QPoint to);
  void set_look(const QColor& colour, int width);
  QColor colour() const { return colour_; }
  int line_width() const { return width_; }
  QPoint from() const { return from_; }
  QPoint to() const { return to_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void place();
  QPoint from_, to_;
  QColor colour_;
  int width_ = 1;
};

// A circle or rounded square, drawn as its outline only (transparent inside), centred in its
// box as a square of the box's smaller side.
class ShapeView : public QWidget {
 public:
  ShapeView(QWidget* parent, ShapeStyle style);
  void set_look(const QColor& colour, int width);
  QColor colour() const { return colour_; }
  int line_width() const { return width_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ShapeStyle style_;
  QColor colour_;
  int width_ = 1;
};

// A picture at its own size, or stretched to fill the control.
class ImageView : public QWidget {
 public:
  ImageView(QWidget* parent, QImage image, bool stretch);
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  bool stretch_;
};

}  // namespace bruvik
