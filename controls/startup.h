// Start-up: the window's load event, which puts the simulation in its waiting state.
#pragma once

namespace bruvik {

class Form1;

void Form_Load(Form1& form);

}  // namespace bruvik
