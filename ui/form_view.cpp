#include "ui/form_view.h"

#include <algorithm>
#include <cmath>

#include "model/form.h"
#include "model/form_table.h"
#include "ui/control_widgets.h"
#include "ui/look.h"
#include "ui/pictures.h"

namespace bruvik {
namespace {

// Disabled boxes are the window's counters: grey as the original shows them, but dark enough
// to read.
const QColor kDisabledText(0x60, 0x60, 0x60);
const QColor kDisabledOption(0xD8, 0xD8, 0xD8);

// Controls named by labels: `before`, the caption of `label1`, `middle`, the caption of
// `label2`, joined by blanks.
struct Naming {
  const char* control;
  const char* before;
  const char* label1;
  const char* middle;
  const char* label2;
};
constexpr Naming kNamings[] = {
    {"Text6", "", "Label18", "", ""},
    {"Text7", "", "Label19", "", ""},
    {"Text9", "", "Label21", "", ""},
    {"Text10", "", "Label20", "", ""},
    {"Text11", "", "Label22", "", ""},
    {"Text12", "", "Label28", "", ""},
    {"Text13", "", "Label30", "", ""},
    {"Command2", "Lower", "Label22", "", ""},
    {"Command3", "Raise", "Label22", "", ""},
    {"Command4", "Lower", "Label28", "", ""},
    {"Command5", "Raise", "Label28", "", ""},
    {"Command6", "Lower", "Label30", "", ""},
    {"Command7", "Raise", "Label30", "", ""},
    {"Text1(0)", "", "Label6", "", "Label11(0)"},
    {"Text1(1)", "", "Label6", "", "Label11(1)"},
    {"Text2(0)", "", "Label7", "", "Label12(0)"},
    {"Text2(1)", "", "Label7", "", "Label12(1)"},
    {"Text3(0)", "", "Label8", "", "Label13(0)"},
    {"Text14(0)", "", "Label8", "", "Label32(0)"},
    {"Text4(0)", "", "Label9", "", "Label14(0)"},
    {"Text14(1)", "", "Label9", "", "Label32(1)"},
    {"Text5(0)", "", "Label10", "", "Label15(0)"},
    {"Text14(2)", "", "Label10", "", "Label32(2)"},
    {"Text8(0)", "", "Label33", "of place", "Label23"},
    {"Text8(1)", "", "Label33", "of place", "Label24"},
    {"Text8(2)", "", "Label33", "of place", "Label25"},
    {"Text8(3)", "", "Label33", "of place", "Label26"},
    {"Text8(4)", "", "Label33", "of place", "Label27"},
};

// Controls without caption or label, by array name; %1 is the station.
struct Role {
  const char* name;
  const char* text;
};
constexpr Role kRoles[] = {
    {"Image1", "Computer of station %1"},
    {"Shape1", "Frame of station %1 in transit"},
    {"Image3", "Mark of station %1"},
    {"Line2", "Drop line of station %1"},
    {"Image2", "Collision"},
    {"Line1", "Upper bus"},
    {"Line3", "Lower bus"},
    {"Line4", "Right end of the bus"},
    {"Shape2", "Terminator"},
    {"Line31", "Separator"},
    {"Line32", "Separator"},
    {"Line5", "Separator"},
    {"Line34", "Separator"},
    {"Line35", "Separator"},
    {"Frame1", "Performance table"},
    {"Frame2", "Bus picture"},  // Frame2(1) below
    {"Frame3", "Data sending rate and frame length"},
    {"Text3", "Unused box"},  // Text3(1); Text3(0) is named by its labels
    {"Text4", "Unused box"},
    {"Text5", "Unused box"},
};

// Reading order of the controls the user works with; focusable controls not listed follow in
// the order of the window's table.
constexpr const char* kReadingOrder[] = {
    "Text6",    "Text7",     "Command2",  "Command3",  "Command4", "Command5",
    "Command6", "Command7",  "Command1",  "Command8",  "Option1",  "Option2",
    "Text9",    "Text14(0)", "Text14(1)", "Text14(2)",
};

QRect geometry_of(const BuiltControl& s) {
  return QRect(to_pixels(s.left), to_pixels(s.top), to_pixels(s.width), to_pixels(s.height));
}

QString caption_of(Form1& form, const char* name) {
  if (*name == '\0') return QString();
  const Control* c = form.find_named(name);
  return c == nullptr ? QString() : QString::fromStdString(c->text()).simplified();
}

}  // namespace

int to_pixels(int twips) {
  return static_cast<int>(std::lround(twips / static_cast<double>(kTwipsPerPixel)));
}

QString accessible_name(Form1& form, const Control& control) {
  const BuiltControl& s = control.built();
  const std::string window = window_name(s);
  for (const Naming& n : kNamings) {
    if (window != n.control) continue;
    QStringList parts;
    if (*n.before != '\0') parts << QString::fromUtf8(n.before);
    parts << caption_of(form, n.label1);
    if (*n.middle != '\0') parts << QString::fromUtf8(n.middle);
    parts << caption_of(form, n.label2);
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' '));
  }
  if (window == "Frame2(1)") return QStringLiteral("Settings panel");
  for (const Role& r : kRoles) {
    if (std::string_view(s.name) != r.name) continue;
    QString text = QString::fromUtf8(r.text);
    if (text.contains(QLatin1String("%1"))) text = text.arg(s.index);
    return text;
  }
  return QString::fromStdString(control.text()).simplified();
}

FormView::FormView(Form1& form, QWidget* parent) : QWidget(parent), form_(&form) {
  const BuiltWindow& window = built_window();
  setFixedSize(to_pixels(window.client_width), to_pixels(window.client_height));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, to_qcolor(window.back, pal));
  pal.setColor(QPalette::WindowText, to_qcolor(window.fore, pal));
  setPalette(pal);

  bindings_.reserve(form.controls().size());
  for (Control& c : form.controls()) {
    const BuiltControl& s = c.built();
    QWidget* container = this;
    if (*s.container != '\0') {
      // Containers come before their contents in the table.
      if (QWidget* w = widget(s.container)) container = w;
    }
    Binding b;
    b.name = window_name(s);
    b.control = &c;
    b.widget = build(c, container);
    b.widget->setObjectName(QString::fromStdString(b.name));
    bindings_.push_back(std::move(b));
  }
  // Names that come from other controls' captions are set once every control exists.
  for (Binding& b : bindings_) {
    if (b.control->kind() == Kind::Label) continue;  // a label's name is its caption
    b.widget->setAccessibleName(accessible_name(form, *b.control));
  }
}

QWidget* FormView::build(const Control& control, QWidget* parent) {
  const BuiltControl& s = control.built();
  const QPalette base = palette();
  const QColor back = to_qcolor(s.back, base);
  const QColor fore = to_qcolor(s.fore, base);
  const QFont font = control_font(s.font_points, s.bold);
  QWidget* w = nullptr;
  switch (s.kind) {
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
      return new LineView(parent, QPoint(to_pixels(s.x1), to_pixels(s.y1)),
                          QPoint(to_pixels(s.x2), to_pixels(s.y2)));
    case Kind::Shape:
      w = new ShapeView(parent, s.shape);
      break;
    case Kind::Image:
      w = new ImageView(parent, picture_image(s.picture), s.stretch);
      break;
  }
  w->setGeometry(geometry_of(s));
  w->setFont(font);
  if (*s.tooltip != '\0') w->setToolTip(QString::fromUtf8(s.tooltip));
  return w;
}

QWidget* FormView::widget(std::string_view window_name) const {
  for (const Binding& b : bindings_) {
    if (b.name == window_name) return b.widget;
  }
  return nullptr;
}

int FormView::sync() {
  int touched = 0;
  for (Binding& b : bindings_) touched += sync_one(b) ? 1 : 0;
  return touched;
}

bool FormView::sync_one(Binding& b) {
  Control& c = *b.control;
  QWidget* w = b.widget;
  bool touched = false;

  // Visible now, or made visible at some moment since the last frame.
  const bool shown = c.take_shown();
  if (!b.primed || shown != b.visible) {
    b.visible = shown;
    w->setVisible(shown);
    touched = true;
  }
  if (!b.primed || c.enabled() != b.enabled) {
    b.enabled = c.enabled();
    w->setEnabled(b.enabled);
    touched = true;
  }

  // The kind says which widget build() made for the control.
  switch (c.kind()) {
    case Kind::Label:
      if (!b.primed || c.text() != b.text) {
        b.text = c.text();
        static_cast<LabelView*>(w)->setText(QString::fromStdString(b.text));
        touched = true;
      }
      break;
    case Kind::CommandButton:
    case Kind::OptionButton:
      if (!b.primed || c.text() != b.text) {
        b.text = c.text();
        static_cast<QAbstractButton*>(w)->setText(QString::fromStdString(b.text));
        touched = true;
      }
      if (c.kind() == Kind::OptionButton && (!b.primed || c.value() != b.value)) {
        b.value = c.value();
        static_cast<OptionView*>(w)->setChecked(b.value);
        touched = true;
      }
      break;
    case Kind::TextBox:
      if (!b.primed || c.text() != b.text) {
        auto* box = static_cast<TextBoxView*>(w);
        // An edit of the data amount waits for Enter or for the focus to leave.
        if (b.primed && box->keeps_pending_edit && box->isModified()) break;
        b.text = c.text();
        const QString text = QString::fromStdString(b.text);
        if (box->text() != text) {
          const int cursor = box->cursorPosition();
          box->setText(text);
          if (box->hasFocus()) box->setCursorPosition(std::min(cursor, int(text.size())));
        }
        touched = true;
      }
      break;
    case Kind::Line:
    case Kind::Shape:
      if (!b.primed || c.border_color() != b.border || c.border_width() != b.border_width) {
        b.border = c.border_color();
        b.border_width = c.border_width();
        const QColor colour = to_qcolor(b.border, palette());
        if (c.kind() == Kind::Line) {
          static_cast<LineView*>(w)->set_look(colour, b.border_width);
        } else {
          static_cast<ShapeView*>(w)->set_look(colour, b.border_width);
        }
        touched = true;
      }
      break;
    case Kind::Frame:
    case Kind::Image:
      break;
  }
  b.primed = true;
  return touched;
}

std::vector<QWidget*> FormView::focus_chain() const {
  std::vector<QWidget*> chain;
  for (const char* name : kReadingOrder) {
    if (QWidget* w = widget(name)) chain.push_back(w);
  }
  for (const Binding& b : bindings_) {
    const Kind k = b.control->kind();
    if (k != Kind::TextBox && k != Kind::CommandButton && k != Kind::OptionButton) continue;
    if (std::find(chain.begin(), chain.end(), b.widget) == chain.end()) chain.push_back(b.widget);
  }
  return chain;
}

}  // namespace bruvik
