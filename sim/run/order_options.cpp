#include "model/form.h"
#include "sim/run/run.h"

namespace bruvik {

void Option1_Click(Form1& form) {
  performance(form);
}
void Option2_Click(Form1& form) {
  performance(form);
}

void select_option(Form1& form, Control& option) {
  if (option.value()) return;
  Control& partner = &option == &form.Option1 ? form.Option2 : form.Option1;
  option.set_value(true);
  partner.set_value(false);
  if (&option == &form.Option1) {
    Option1_Click(form);
  } else {
    Option2_Click(form);
  }
}

}  // namespace bruvik
