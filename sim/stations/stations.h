// The station families, the frame timers and the bus-busy line: the ticks of the timers that
// put frames on the bus and take them off.
#pragma once

#include <cstdint>

namespace bruvik {

class Form1;

// One transmission attempt of station i (0..9) under each method.
void pure_aloha_attempt(Form1& form, int station);
void slotted_aloha_attempt(Form1& form, int station);
void one_persistent_attempt(Form1& form, int station);
void non_persistent_attempt(Form1& form, int station);
void p_persistent_attempt(Form1& form, int station);

// What the two persistent families do on a tick that finds the bus busy while they already
// poll every millisecond, apart from re-arming: the clock's idle tick, `bus_busy` its probe.
void one_persistent_poll(Form1& form, int station);
void p_persistent_poll(Form1& form, int station);
// The polls of the milliseconds from `from` to now in one call: the same poll for each.
void one_persistent_polls(Form1& form, int station, std::int64_t from, std::uint64_t rounds);
void p_persistent_polls(Form1& form, int station, std::int64_t from, std::uint64_t rounds);
bool bus_busy_probe(const void* form);

// Tick of the frame timer of station i: the frame is no longer in transit.
void frame_timer_tick(Form1& form, int station);

// Tick of Timer1: end of the collision display.
void collision_display_tick(Form1& form, int unused);

// The bus look: busy exactly when Line1 has the busy colour.
bool bus_busy(const Form1& form);
void fill(Form1& form);
void clear_line(Form1& form);
// Tick of Timer65 (the bus-busy delay) and of Timer12 (the bus-busy timer).
void bus_delay_tick(Form1& form, int unused);
void bus_busy_tick(Form1& form, int unused);
// Timer12 ticks every 100 ms while the run lasts and mostly finds a frame on the bus or the line
// already clear: its probe says so, and such a tick has nothing to do.
bool bus_busy_tick_idle(const void* form);

}  // namespace bruvik
