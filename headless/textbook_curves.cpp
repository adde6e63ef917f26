#include "headless/textbook_curves.h"

#include <cmath>

namespace bruvik {
namespace {

// e^x from correctly rounded operations alone, so that every build draws the same curves: the
// C libraries' exp (glibc's, emscripten's) differ in the last digit.
double exp_by_arithmetic(double x) {
  if (x > 709.8) return HUGE_VAL;
  if (x < -745.2) return 0;
  // x = k ln 2 + r with |r| <= ln 2 / 2; ln 2 split in two, the first with zeros at its end,
  // so that k times it is exact.
  constexpr double kLn2High = 6.93147180369123816490e-01;
  constexpr double kLn2Low = 1.90821492927058770002e-10;
  const double k = std::nearbyint(x * 1.44269504088896338700);
  const double r = (x - k * kLn2High) - k * kLn2Low;
  // Taylor's series to r^14/14!, below 1e-17 of the sum.
  double sum = 1;
  for (int n = 14; n >= 1; --n) sum = 1 + sum * r / n;
  return std::ldexp(sum, static_cast<int>(k));
}

}  // namespace

double pure_aloha_throughput(double g) {
  return g * exp_by_arithmetic(-2 * g);
}

double slotted_aloha_throughput(double g) {
  return g * exp_by_arithmetic(-g);
}

double non_persistent_csma_throughput(double g, double a) {
  const double e = exp_by_arithmetic(-a * g);
  return g * e / (g * (1 + 2 * a) + e);
}

double one_persistent_csma_throughput(double g, double a) {
  const double ag = a * g;
  const double top = g * (1 + g + ag * (1 + g + ag / 2)) * exp_by_arithmetic(-g * (1 + 2 * a));
  const double bottom =
      g * (1 + 2 * a) - (1 - exp_by_arithmetic(-ag)) + (1 + ag) * exp_by_arithmetic(-g * (1 + a));
  return top / bottom;
}

}  // namespace bruvik
