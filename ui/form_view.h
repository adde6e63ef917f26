// The designed client area of the window: one widget per control, built from the window's data
// table (twips / 15 = pixels), and brought in step with the model once per display frame by
// comparing values. The core never calls it.
#pragma once

#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

#include "model/control.h"

namespace bruvik {

class Form1;

class FormView : public QWidget {
 public:
  explicit FormView(Form1& form, QWidget* parent = nullptr);

  Form1& form() const { return *form_; }

  // The widget of a control by window name ("Text1(0)", "Label34"); nullptr when none.
  QWidget* widget(std::string_view window_name) const;
  template <typename T>
  T* widget_as(std::string_view window_name) const {
    return dynamic_cast<T*>(widget(window_name));
  }

  // Updates every widget whose control changed since the last call: text, enabled, visible,
  // selection, line and shape looks. A control that was shown and hidden again in between is
  // shown until the next call, so no flash is lost. Returns how many widgets were touched.
  int sync();

  // The focusable widgets in reading order: the settings the user types or steps, the start
  // and restart buttons, the order options, the boxes the user may still type into, then the
  // rest.
  std::vector<QWidget*> focus_chain() const;

 private:
  struct Binding {
    std::string name;  // window name
    Control* control = nullptr;
    QWidget* widget = nullptr;
    // What the widget shows now.
    bool primed = false;
    bool visible = false;
    bool enabled = false;
    bool value = false;
    std::string text;
    Colour border = 0;
    int border_width = 0;
  };

  QWidget* build(const Control& control, QWidget* parent);
  bool sync_one(Binding& b);

  Form1* form_;
  std::vector<Binding> bindings_;
};

// What assistive technology calls a control: its caption, or the caption of the label that
// names it ("Data Amount" for Text6, "Lower Network MTU" for Command2).
QString accessible_name(Form1& form, const Control& control);

// Pixels at 96 dpi of a length in twips.
int to_pixels(int twips);

}  // namespace bruvik
