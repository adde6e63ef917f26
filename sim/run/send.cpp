#include <cmath>
#include <optional>
#include <string>

#include "app/form.h"
#include "app/numtext.h"
#include "app/runtime_error.h"
#include "sim/methods.h"
#include "sim/run/run.h"

namespace bruvik {
namespace {

// "%  33.3  Col.   .5": collision percentage and successful sendings per second of method k.
// Returns false (and changes nothing) when a computation fails, so that the step is skipped.
bool write_statistics_line(Form1& form, int k) {
  const double c = collisions(form, k).number();
  const double n = data_sent(form, k).number();
  const double s = form.Text7.number();
  const std::optional<double> c100 = numtext::try_mul(c, 100);
  if (!c100) return false;
  const std::optional<double> percent = numtext::try_div(*c100, n);
  if (!percent) return false;
  const double good = n - c;
  if (!std::isfinite(good)) return false;
  const std::optional<double> rate = numtext::try_div(good, s);
  if (!rate) return false;

  std::string line = "% ";
  line += numtext::signed_text(*percent);
  if (line.size() > 7) line.resize(7);
  line += methods()[static_cast<std::size_t>(k)].separator;
  const std::string t = numtext::signed_text(*rate);
  line.append(t, 0, 4);
  form.Label1[k].set_text(line);
  return true;
}

}  // namespace

void send(Form1& form) {
  // Each step is guarded on its own: a step that fails is skipped and the next one runs.
  form.Text9.set_text(form.method_code());
  const auto& m = methods();
  for (int k = 0; k < kMethods; ++k) {
    if (form.method_code() != m[static_cast<std::size_t>(k)].code) continue;
    Control& counter = data_sent(form, k);
    const double next = counter.number() + 1;
    if (std::isfinite(next)) counter.set_number(next);
    write_statistics_line(form, k);
  }
  form.Timer(65).set_enabled(true);
}

}  // namespace bruvik
