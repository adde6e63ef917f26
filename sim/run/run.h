// Run control: recording each sending, moving to the next method, testing for the end of a
// method, counting seconds, ranking the methods.
#pragma once

#include <string>

namespace bruvik {

class Form1;
class Control;

// Records one sending of the running method; never fails towards its caller.
void send(Form1& form);

// The throughput text that enters the performance table for method k: the last three
// characters of its trimmed statistics line.
std::string throughput_text(const Form1& form, int k);

// Ends the running method and starts the next one; after the last, ranks the table.
void switch_(Form1& form);

// Tick of Timer23: the completion test of all five methods.
void completion_test_tick(Form1& form, int unused);
// True when a completion test now could not differ from the last one (nothing it reads has
// changed since), so the clock may skip the tick.
bool completion_test_idle(const void* form);

// Tick of Timer54: the seconds clock.
void seconds_clock_tick(Form1& form, int unused);

// Ranks the performance table by throughput, in the order the option buttons select.
void performance(Form1& form);

// The clicks of the two order options: each re-ranks the table.
void Option1_Click(Form1& form);
void Option2_Click(Form1& form);
// Selects an option button (Option1 or Option2) and unselects its partner. When it was not
// selected before, its click is raised, whether the program or the user selected it and also
// while it is disabled.
void select_option(Form1& form, Control& option);

}  // namespace bruvik
