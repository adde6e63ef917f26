// Run control: recording each sending, moving to the next method, testing for the end of a
// method, counting seconds, ranking the methods.
#pragma once

#include <string>

namespace bruvik {

class Form1;

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

}  // namespace bruvik
