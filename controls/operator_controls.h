// What the operator can do: the buttons, the two order options, Enter in the seconds box and the
// edit of the data amount. Each acts on the form at its current virtual time.
#pragma once

#include <string>
#include <string_view>

#include "sim/run/run.h"  // the order options: select_option, Option1_Click, Option2_Click

namespace bruvik {

class Form1;
class Control;

void Command1_Click(Form1& form);  // "EnableThe Computers"
void Command2_Click(Form1& form);  // "<" network MTU
void Command3_Click(Form1& form);  // ">" network MTU
void Command4_Click(Form1& form);  // "<" data sending rate
void Command5_Click(Form1& form);  // ">" data sending rate
void Command6_Click(Form1& form);  // "<" average frame length
void Command7_Click(Form1& form);  // ">" average frame length
void Command8_Click(Form1& form);  // "RESTART"

// Sets the network MTU, the data sending rate and the average frame length (each 1 to 10) by
// pressing their "<" and ">" buttons as a user would, from whatever they show now.
void press_to_operator_values(Form1& form, int mtu, int rate, int frame_length);

// A key typed into Text7 (Enter is 13). Returns true when the key was handled here, false when
// it is left to the text box.
bool Text7_KeyPress(Form1& form, int key);

// The data amount takes effect when the user presses Enter in the box or leaves it. Text with
// no number in it is refused: Text6 keeps the last accepted value and `message` says why.
struct DataAmountEdit {
  bool accepted = false;
  std::string message;
};
DataAmountEdit commit_data_amount(Form1& form, std::string_view typed);

// Puts a freshly built form into the state a run starts from: start-up, then the operator
// values pressed in and the data amount typed into its box. Returns the refusal when the data
// amount is refused (the form then keeps "100").
DataAmountEdit prepare_form(Form1& form, int mtu, int rate, int frame_length,
                            std::string_view data_amount);

}  // namespace bruvik
