#include "headless/textbook_curves.h"

#include <cmath>

namespace bruvik {

double pure_aloha_throughput(double g) {
  return g * std::exp(-2 * g);
}

double slotted_aloha_throughput(double g) {
  return g * std::exp(-g);
}

double non_persistent_csma_throughput(double g, double a) {
  const double e = std::exp(-a * g);
  return g * e / (g * (1 + 2 * a) + e);
}

double one_persistent_csma_throughput(double g, double a) {
  const double ag = a * g;
  const double top = g * (1 + g + ag * (1 + g + ag / 2)) * std::exp(-g * (1 + 2 * a));
  const double bottom = g * (1 + 2 * a) - (1 - std::exp(-ag)) + (1 + ag) * std::exp(-g * (1 + a));
  return top / bottom;
}

}  // namespace bruvik
