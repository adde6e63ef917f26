// The designed client area of the window: one widget per control, built from the view model and
// brought in step with it once per display frame, touching only what changed. The core never
// calls it.
#pragma once

#include <QWidget>

#include <cstddef>
#include <string_view>
#include <vector>

#include "model/control.h"
#include "view/window_view.h"

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

  // The widgets the keyboard reaches, in the view model's reading order.
  std::vector<QWidget*> focus_chain() const;

 private:
  struct Binding {
    QWidget* widget = nullptr;
    // What the widget has yet to show (ViewChange bits).
    unsigned due = 0;
  };

  QWidget* build(const ControlView& control, QWidget* parent);
  bool show_due(std::size_t i);

  Form1* form_;
  WindowView view_;
  std::vector<Binding> bindings_;
  bool primed_ = false;
};

}  // namespace bruvik
