#include "headless/stats.h"

#include <cmath>
#include <utility>
#include <vector>

#include "model/numtext.h"

namespace bruvik {

double student_t975(int df) {
  // Exact to the printed digits up to 30 degrees of freedom.
  static constexpr double kTable[30] = {
      12.706204736174707, 4.302652729749464,  3.182446305284263,  2.7764451051977934,
      2.5705818356363146, 2.4469118511449692, 2.3646242515927844, 2.306004135204166,
      2.262157162798205,  2.2281388519862744, 2.2009851600916384, 2.178812829667226,
      2.1603686564627926, 2.1447866879178044, 2.131449545559774,  2.1199052992210112,
      2.1098155778333156, 2.10092204024096,   2.093024054408307,  2.0859634472658626,
      2.0796138447276835, 2.0738730679040147, 2.0686576104190477, 2.0638985616280205,
      2.059538552753294,  2.055529438642871,  2.0518305164802833, 2.048407141795244,
      2.0452296421327034, 2.0422724563012373};
  if (df < 1) df = 1;
  if (df <= 30) return kTable[df - 1];
  // Beyond that the Cornish-Fisher expansion about the normal quantile is within 1e-6.
  const double z = 1.959963984540054;
  const double v = df;
  const double z2 = z * z;
  const double g1 = (z2 + 1) * z / 4;
  const double g2 = ((5 * z2 + 16) * z2 + 3) * z / 96;
  const double g3 = (((3 * z2 + 19) * z2 + 17) * z2 - 15) * z / 384;
  const double g4 = ((((79 * z2 + 776) * z2 + 1482) * z2 - 1920) * z2 - 945) * z / 92160;
  return z + g1 / v + g2 / (v * v) + g3 / (v * v * v) + g4 / (v * v * v * v);
}

Summary summarize(std::span<const double> values) {
  Summary s;
  double sum = 0;
  for (const double x : values) {
    if (!std::isfinite(x)) continue;
    sum += x;
    ++s.n;
  }
  if (s.n == 0) return s;
  const double mean = sum / s.n;
  s.mean = mean;
  if (s.n < 2) return s;
  // Two passes: the squares of the deviations, not the difference of two large sums.
  double squares = 0;
  for (const double x : values) {
    if (std::isfinite(x)) squares += (x - mean) * (x - mean);
  }
  const double sd = std::sqrt(squares / (s.n - 1));
  const double half = student_t975(s.n - 1) * sd / std::sqrt(static_cast<double>(s.n));
  s.sd = sd;
  s.ci95_low = mean - half;
  s.ci95_high = mean + half;
  return s;
}

MethodFigures figures(const MethodResult& m) {
  MethodFigures f;
  if (!m.ended) return f;
  if (m.data_sent != 0) f.collision_pct = m.collisions * 100 / m.data_sent;
  const double duration = static_cast<double>(m.ended_ms - m.started_ms);
  f.duration_ms = duration;
  if (duration > 0) {
    f.successful_per_virtual_second = (m.data_sent - m.collisions) / (duration / 1000);
  }
  f.table_value = numtext::val(numtext::trim(m.throughput_text));
  if (m.bus) {
    f.offered_load = m.bus->offered_load;
    f.frames_overlapped = m.bus->frames_overlapped;
    f.throughput_counted = m.bus->throughput_counted;
    f.throughput_on_bus = m.bus->throughput_on_bus;
  }
  return f;
}

std::array<MethodSummary, 5> summarize_runs(std::span<const RunResult> runs) {
  std::array<MethodSummary, 5> out;
  for (std::size_t k = 0; k < out.size(); ++k) {
    // Each summary with the figure it is taken from.
    MethodSummary& s = out[k];
    const std::pair<Summary MethodSummary::*, std::optional<double> MethodFigures::*> kinds[] = {
        {&MethodSummary::collision_pct, &MethodFigures::collision_pct},
        {&MethodSummary::successful_per_virtual_second,
         &MethodFigures::successful_per_virtual_second},
        {&MethodSummary::table_value, &MethodFigures::table_value},
        {&MethodSummary::duration_ms, &MethodFigures::duration_ms},
        {&MethodSummary::offered_load, &MethodFigures::offered_load},
        {&MethodSummary::frames_overlapped, &MethodFigures::frames_overlapped},
        {&MethodSummary::throughput_counted, &MethodFigures::throughput_counted},
        {&MethodSummary::throughput_on_bus, &MethodFigures::throughput_on_bus},
    };
    std::array<std::vector<double>, std::size(kinds)> values;
    for (const RunResult& r : runs) {
      const MethodResult& m = r.methods[k];
      if (!m.ended) continue;
      ++s.finished;
      const MethodFigures f = figures(m);
      for (std::size_t i = 0; i < std::size(kinds); ++i) {
        if (const auto& v = f.*kinds[i].second) values[i].push_back(*v);
      }
    }
    for (std::size_t i = 0; i < std::size(kinds); ++i) s.*kinds[i].first = summarize(values[i]);
  }
  return out;
}

}  // namespace bruvik
