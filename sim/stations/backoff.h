// The random back-off interval every station timer is re-armed with.
#pragma once

#include <cstdint>

namespace bruvik {

class Form1;

// Re-seeds the generator from the clock, draws r and returns Int(L * r + 1) * 125 as a 32-bit
// whole number, L being the random limit in Label34.
std::int32_t backoff_interval(Form1& form);

// The same draw before it is converted: Int(L * r + 1) * 125. Fails on a floating-point fault.
double backoff_draw(Form1& form);

// Number of frames in transit (visible frame shapes).
int frames_in_transit(const Form1& form);

// Collision counter + 1.
void count_collision(class Control& counter);

}  // namespace bruvik
