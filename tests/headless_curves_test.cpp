// The textbook curves of the load plot, against values the literature gives.
#include <gtest/gtest.h>

#include <cmath>

#include "headless/textbook_curves.h"

namespace bruvik {
namespace {

// The highest S over G in (0, 20], and the G where it stands.
struct Peak {
  double s = 0, g = 0;
};
Peak peak(double (*s)(double, double), double a) {
  Peak p;
  for (int i = 1; i <= 200000; ++i) {
    const double g = i * 1e-4;
    if (s(g, a) > p.s) p = {s(g, a), g};
  }
  return p;
}

TEST(TextbookCurves, KnownValuesAndCapacities) {
  const auto pure = [](double g, double) { return pure_aloha_throughput(g); };
  const auto slotted = [](double g, double) { return slotted_aloha_throughput(g); };
  struct Value {
    const char* what;
    double s, expected, tolerance;
  };
  const Value values[] = {
      {"pure ALOHA at G = 0.5: 1/(2e)", pure_aloha_throughput(0.5), 1 / (2 * std::exp(1.0)), 1e-12},
      {"slotted ALOHA at G = 1: 1/e", slotted_aloha_throughput(1), 1 / std::exp(1.0), 1e-12},
      {"non-persistent, a = 0, G = 0.1", non_persistent_csma_throughput(0.1, 0), 0.1 / 1.1, 1e-12},
      {"non-persistent, a = 0, G = 1", non_persistent_csma_throughput(1, 0), 0.5, 1e-12},
      {"non-persistent, a = 0, G = 4", non_persistent_csma_throughput(4, 0), 0.8, 1e-12},
      {"non-persistent, a = 0, G = 25", non_persistent_csma_throughput(25, 0), 25 / 26.0, 1e-12},
      // The capacities of Kleinrock and Tobagi's table: the peaks over G.
      {"pure ALOHA capacity", peak(pure, 0).s, 0.184, 5e-4},
      {"slotted ALOHA capacity", peak(slotted, 0).s, 0.368, 5e-4},
      {"1-persistent capacity, a = 0", peak(one_persistent_csma_throughput, 0).s, 0.538, 5e-4},
      {"1-persistent capacity, a = 0.01", peak(one_persistent_csma_throughput, 0.01).s, 0.529,
       5e-4},
      {"non-persistent capacity, a = 0.01", peak(non_persistent_csma_throughput, 0.01).s, 0.815,
       5e-4},
      // Where the 1-persistent peak stands without delay: near G = 1.
      {"1-persistent peak load, a = 0", peak(one_persistent_csma_throughput, 0).g, 1.03, 0.01},
  };
  for (const Value& v : values) EXPECT_NEAR(v.s, v.expected, v.tolerance) << v.what;
}

}  // namespace
}  // namespace bruvik
