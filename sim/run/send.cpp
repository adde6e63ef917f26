#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

#include "model/form.h"
#include "model/methods.h"
#include "model/numtext.h"
#include "model/runtime_error.h"
#include "sim/run/run.h"

namespace bruvik {
namespace {

// "% " and the signed percentage, cut after the 7th character; the separator of method k; the
// first 4 characters of the signed rate.
std::size_t write_line(char* out, double percent, double rate, int k) {
  std::memcpy(out, "% ", 2);
  std::size_t n_chars = 2 + numtext::write_signed_prefix(out + 2, percent, 5);
  const std::string_view separator = methods()[static_cast<std::size_t>(k)].separator;
  std::memcpy(out + n_chars, separator.data(), separator.size());
  n_chars += separator.size();
  n_chars += numtext::write_signed_prefix(out + n_chars, rate, 4);
  return n_chars;
}

// "%  33.3  Col.   .5": collision percentage and successful sendings per second of method k.
// Returns false (and changes nothing) when a computation fails, so that the step is skipped.
// The line is rewritten on every sending and read a few times a run: it is written out only
// when read.
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
  form.Label1[k].set_text_later(write_line, *percent, *rate, k);
  return true;
}

}  // namespace

void send(Form1& form) {
  // Each step is guarded on its own: a step that fails is skipped and the next one runs.
  form.Text9.set_text(form.method_code());
  const int k = form.method_index();  // the place of the method code, if any
  if (k >= 0 && k < kMethods) {
    Control& counter = data_sent(form, k);
    const double next = counter.number() + 1;
    if (std::isfinite(next)) counter.set_number(next);
    write_statistics_line(form, k);
  }
  // Enabling it again would leave its countdown as it is.
  if (!form.Timer(65).enabled()) form.Timer(65).set_enabled(true);
}

}  // namespace bruvik
