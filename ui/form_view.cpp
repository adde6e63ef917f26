#include "ui/form_view.h"

#include <algorithm>

#include "model/form.h"
#include "ui/control_widgets.h"
#include "ui/look.h"
#include "ui/pictures.h"

namespace bruvik {
namespace {

// Disabled boxes are the window's counters: grey as the original shows them, but dark enough
// to read.
const QColor kDisabledText(0x60, 0x60, 0x60);
const QColor kDisabledOption(0xD8, 0xD8, 0xD8);

}  // namespace

FormView::FormView(Form1& form, QWidget* parent) : QWidget(parent), form_(&form), view_(form) {
  const WindowLook& window = view_.window();
  setFixedSize(window.width, window.height);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, to_qcolor(window.back, pal));
  pal.setColor(QPalette::WindowText, to_qcolor(window.fore, pal));
  setPalette(pal);

  const std::vector<ControlView>& controls = view_.controls();
  bindings_.reserve(controls.size());
  for (const ControlView& c : controls) {
    // Containers come before their contents.
    QWidget* container =
        c.container < 0 ? this : bindings_[static_cast<std::size_t>(c.container)].widget;
    Binding b;
    b.widget = build(c, container);
    b.widget->setObjectName(QString::fromStdString(c.name));
    if (c.kind != Kind::Label) {  // a label's name is its caption
      b.widget->setAccessibleName(QString::fromStdString(c.accessible_name));
    }
    bindings_.push_back(b);
  }
}

QWidget* FormView::build(const ControlView& c, QWidget* parent) {
  const QPalette base = palette();
  const QColor back = to_qcolor(c.back, base);
  const QColor fore = to_qcolor(c.fore, base);
  const QFont font = control_font(c.font_points, c.bold);
  QWidget* w = nullptr;
  switch (c.kind) {
    case Kind::Label: {
      auto* label = new LabelView(parent);
      label->set_colours(back, fore);
      w = label;
      break;
    }
    case Kind::TextBox: {
      auto* box = new TextBoxView(parent);
      QPalette pal = box->palette();
      for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(g, QPalette::Base, back);
        pal.setColor(g, QPalette::Text, g == QPalette::Disabled ? kDisabledText : fore);
      }
      box->setPalette(pal);
      w = box;
      break;
    }
    case Kind::CommandButton: {
      auto* button = new CommandView(parent);
      QPalette pal = button->palette();
      pal.setColor(QPalette::Button, back);
      pal.setColor(QPalette::Active, QPalette::ButtonText, fore);
      pal.setColor(QPalette::Inactive, QPalette::ButtonText, fore);
      button->setPalette(pal);
      w = button;
      break;
    }
    case Kind::OptionButton: {
      auto* option = new OptionView(parent);
      QPalette pal = option->palette();
      pal.setColor(QPalette::Window, back);
      pal.setColor(QPalette::Button, back);
      for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        // Until the table is ranked the options are disabled: light grey on their background.
        const QColor text = g == QPalette::Disabled ? kDisabledOption : fore;
        pal.setColor(g, QPalette::WindowText, text);
        pal.setColor(g, QPalette::ButtonText, text);
      }
      option->setPalette(pal);
      option->setAutoFillBackground(true);
      w = option;
      break;
    }
    case Kind::Frame:
      w = new FrameView(parent, back);
      break;
    case Kind::Line:
      // A line places itself round its two end points.
      return new LineView(parent, QPoint(c.x1, c.y1), QPoint(c.x2, c.y2));
    case Kind::Shape:
      w = new ShapeView(parent, c.shape);
      break;
    case Kind::Image:
      w = new ImageView(parent, picture_image(c.picture), c.stretch);
      break;
  }
  w->setGeometry(c.box.left, c.box.top, c.box.width, c.box.height);
  w->setFont(font);
  if (!c.tooltip.empty()) w->setToolTip(QString::fromStdString(c.tooltip));
  return w;
}

QWidget* FormView::widget(std::string_view window_name) const {
  const int i = view_.find(window_name);
  return i < 0 ? nullptr : bindings_[static_cast<std::size_t>(i)].widget;
}

int FormView::sync() {
  for (const ControlChange& change : view_.frame()) {
    bindings_[static_cast<std::size_t>(change.control)].due |= change.what;
  }
  int touched = 0;
  for (std::size_t i = 0; i < bindings_.size(); ++i) {
    if (bindings_[i].due != 0) touched += show_due(i) ? 1 : 0;
  }
  primed_ = true;
  return touched;
}

bool FormView::show_due(std::size_t i) {
  const ControlView& c = view_.controls()[i];
  Binding& b = bindings_[i];
  QWidget* w = b.widget;
  bool touched = false;
  if (b.due & kChangedVisible) {
    w->setVisible(c.visible);
    touched = true;
  }
  if (b.due & kChangedEnabled) {
    w->setEnabled(c.enabled);
    touched = true;
  }
  unsigned kept = 0;
  // The kind says which widget build() made for the control.
  if (b.due & kChangedText) {
    switch (c.kind) {
      case Kind::Label:
        static_cast<LabelView*>(w)->setText(QString::fromStdString(c.text));
        touched = true;
        break;
      case Kind::CommandButton:
      case Kind::OptionButton:
        static_cast<QAbstractButton*>(w)->setText(QString::fromStdString(c.text));
        touched = true;
        break;
      case Kind::TextBox: {
        auto* box = static_cast<TextBoxView*>(w);
        // An edit of the data amount waits for Enter or for the focus to leave; the model's
        // text stays due until then.
        if (primed_ && box->keeps_pending_edit && box->isModified()) {
          kept = kChangedText;
          break;
        }
        const QString text = QString::fromStdString(c.text);
        if (box->text() != text) {
          const int cursor = box->cursorPosition();
          box->setText(text);
          if (box->hasFocus()) box->setCursorPosition(std::min(cursor, int(text.size())));
        }
        touched = true;
        break;
      }
      default:
        break;
    }
  }
  if (b.due & kChangedValue) {
    static_cast<OptionView*>(w)->setChecked(c.value);
    touched = true;
  }
  if (b.due & kChangedBorder) {
    const QColor colour = to_qcolor(c.border, palette());
    if (c.kind == Kind::Line) {
      static_cast<LineView*>(w)->set_look(colour, c.border_width);
    } else {
      static_cast<ShapeView*>(w)->set_look(colour, c.border_width);
    }
    touched = true;
  }
  b.due = kept;
  return touched;
}

std::vector<QWidget*> FormView::focus_chain() const {
  std::vector<QWidget*> chain;
  for (const int i : view_.reading_order()) {
    chain.push_back(bindings_[static_cast<std::size_t>(i)].widget);
  }
  return chain;
}

}  // namespace bruvik
