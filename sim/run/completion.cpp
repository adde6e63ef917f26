#include <cmath>
#include <limits>

#include "model/form.h"
#include "model/methods.h"
#include "model/numtext.h"
#include "sim/run/run.h"

namespace bruvik {

namespace {

// Whether no method passes, found without writing anything; false also when a difference does
// not stay finite, so that the full test below raises the error where it would. A difference
// that is not finite after one subtraction is not after two either, so the end alone is tested.
bool passes_or_fails(double a, double s) {
  return !(a > s && s >= -std::numeric_limits<double>::max());
}

bool none_passes(Form1& form) {
  const double a = form.Text6.number();
  const double w = form.Text10.number();
  for (int k = 0; k < kMethods; ++k) {
    double s = data_sent(form, k).number() - collisions(form, k).number();
    if (kMethodTable[static_cast<std::size_t>(k)].subtracts_waited) s -= w;
    if (passes_or_fails(a, s)) return false;
  }
  return true;
}

// The test that writes: "Okey" into the counter of each method that passed, and the switch.
[[gnu::noinline]] void test_and_switch(Form1& form) {
  bool passed = false;
  const auto& m = methods();
  for (int k = 0; k < kMethods; ++k) {
    Control& counter = data_sent(form, k);
    const double d = counter.number();
    const double c = collisions(form, k).number();
    const double w = m[static_cast<std::size_t>(k)].subtracts_waited ? form.Text10.number() : 0;
    const double a = form.Text6.number();
    const double s = numtext::sub(numtext::sub(d, c), w);
    if (a <= s) {
      passed = true;
      form.passed_test = {k, d, c};
      counter.set_text("Okey");
      switch_(form);
    }
  }
  // A test that passed can pass again with no text changed (a data amount of 0 or less), and
  // each pass re-ranks the table, which moves labels only: such a tick is never idle.
  if (passed) form.completion_seen = ~std::uint64_t{0};
}

}  // namespace

void completion_test_tick(Form1& form, int) {
  // Everything read below is text-box text; remember what was seen so that the clock can skip
  // the ticks that could only repeat this one.
  form.completion_seen = form.text_revision();
  if (!none_passes(form)) test_and_switch(form);
}

bool completion_test_idle(const void* form) {
  const Form1& f = *static_cast<const Form1*>(form);
  return f.completion_seen == f.text_revision();
}

void seconds_clock_tick(Form1& form, int) {
  form.Text7.set_number(numtext::add(form.Text7.number(), 1));
}

}  // namespace bruvik
