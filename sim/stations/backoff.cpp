#include "sim/stations/backoff.h"

#include <cmath>

#include "model/form.h"
#include "model/numtext.h"
#include "model/runtime_error.h"

namespace bruvik {

double backoff_draw(Form1& form) {
  form.rng().reseed_from_clock(form.now());
  const float r = form.rng().draw();
  // The leading-number parse skips leading blanks and stops at trailing ones, so the label's
  // kept reading is that of its trimmed text.
  const double limit = form.Label34.number();
  const double slots = limit * static_cast<double>(r) + 1;
  if (!std::isfinite(slots)) throw RuntimeError(ErrorCode::Overflow);
  const double ms = numtext::whole(slots) * 125;
  if (!std::isfinite(ms)) throw RuntimeError(ErrorCode::Overflow);
  return ms;
}

std::int32_t backoff_interval(Form1& form) {
  return numtext::to_int32(backoff_draw(form));
}

int frames_in_transit(const Form1& form) {
  int count = 0;
  for (int k = 0; k < kStations; ++k) count += form.Shape1[k].visible() ? 1 : 0;
  return count;
}

void count_collision(Control& counter) {
  counter.set_number(numtext::add(counter.number(), 1));
}

}  // namespace bruvik
