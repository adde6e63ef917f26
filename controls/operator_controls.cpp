#include "controls/operator_controls.h"

#include "controls/startup.h"
#include "model/form.h"
#include "model/numtext.h"
#include "model/timer_table.h"
#include "sim/run/run.h"

namespace bruvik {
namespace {

// Bus-busy duration and slot time follow the MTU and the frame length.
void recompute_slot(Form1& form) {
  const auto slot = [&] {
    return numtext::whole(
        numtext::mul(numtext::div(form.Text13.number(), form.Text11.number()), 100));
  };
  form.Timer(12).set_interval(numtext::to_int32(slot()));
  form.Label31.set_number(slot());
}

void recompute_random_limit(Form1& form) {
  form.Label34.set_number(numtext::mul(numtext::sub(10, form.Text12.number()), 10));
}

bool lower(Control& box) {
  const double v = box.number();
  if (v == 1 || v == 0) return false;
  box.set_number(numtext::sub(v, 1));
  return true;
}

bool raise(Control& box) {
  const double v = box.number();
  if (v == 10) return false;
  box.set_number(numtext::add(v, 1));
  return true;
}

}  // namespace

void Command1_Click(Form1& form) {
  // Only while pure ALOHA runs: started later, its stations would send beside the running
  // method and their sendings would be counted in that method's figures.
  if (form.method_code() == "pure") {
    for (int i = 0; i < kStations; ++i) form.Timer(station_timer(0, i)).set_enabled(true);
  }
  form.Timer(54).set_enabled(true);
}

void Command2_Click(Form1& form) {
  if (lower(form.Text11)) recompute_slot(form);
}
void Command3_Click(Form1& form) {
  if (raise(form.Text11)) recompute_slot(form);
}
void Command4_Click(Form1& form) {
  if (lower(form.Text12)) recompute_random_limit(form);
}
void Command5_Click(Form1& form) {
  if (raise(form.Text12)) recompute_random_limit(form);
}
void Command6_Click(Form1& form) {
  if (lower(form.Text13)) recompute_slot(form);
}
void Command7_Click(Form1& form) {
  if (raise(form.Text13)) recompute_slot(form);
}

void Command8_Click(Form1& form) {
  if (form.on_restart) form.on_restart();
}

void press_to_operator_values(Form1& form, int mtu, int rate, int frame_length) {
  struct Setting {
    Control& box;
    int target;
    void (*lower)(Form1&);
    void (*raise)(Form1&);
  };
  const Setting settings[] = {{form.Text11, mtu, Command2_Click, Command3_Click},
                              {form.Text12, rate, Command4_Click, Command5_Click},
                              {form.Text13, frame_length, Command6_Click, Command7_Click}};
  for (const Setting& s : settings) {
    // Bounded: the buttons stop at 1 and 10 whatever is asked.
    for (int press = 0; press < 10 && s.box.number() > s.target; ++press) s.lower(form);
    for (int press = 0; press < 10 && s.box.number() < s.target; ++press) s.raise(form);
  }
}

bool Text7_KeyPress(Form1& form, int key) {
  if (key != 13) return false;
  form.Text7.set_enabled(false);
  form.Timer(1).set_enabled(true);
  return true;
}

DataAmountEdit commit_data_amount(Form1& form, std::string_view typed) {
  DataAmountEdit out;
  if (!numtext::leading_number(typed)) {
    out.message =
        numtext::begins_with_number(typed)
            ? "That data amount is too large to hold; it stays " + form.Text6.text() + "."
            : "The data amount must begin with a number; it stays " + form.Text6.text() + ".";
    return out;
  }
  form.Text6.set_text(typed);
  out.accepted = true;
  return out;
}

}  // namespace bruvik

namespace bruvik {

DataAmountEdit prepare_form(Form1& form, int mtu, int rate, int frame_length,
                            std::string_view data_amount) {
  Form_Load(form);
  press_to_operator_values(form, mtu, rate, frame_length);
  return commit_data_amount(form, data_amount);
}

}  // namespace bruvik
