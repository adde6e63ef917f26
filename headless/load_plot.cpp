#include "headless/load_plot.h"

#include <algorithm>
#include <numeric>

#include "headless/textbook_curves.h"
#include "history/bus_frames.h"
#include "model/methods.h"
#include "model/timer_table.h"

namespace bruvik {
namespace {

// Timer65 holds a sending this long before the bus shows busy: the delay carrier sensing has.
constexpr int kBusBusyDelayTimer = 65;

std::string fraction(long long top, long long bottom) {
  const long long d = std::gcd(top, bottom);
  top /= d;
  bottom /= d;
  return bottom == 1 ? std::to_string(top) : std::to_string(top) + "/" + std::to_string(bottom);
}

}  // namespace

void put_load_axis(PlotRequest& q, const SweepReport& r) {
  const long long delay_ms = built_timer(kBusBusyDelayTimer).built_interval;
  const double a = static_cast<double>(delay_ms) / kFrameTimeMs;
  const std::string a_text = fraction(delay_ms, kFrameTimeMs);

  q.title = "BRUVIK: throughput on the bus against offered load (" + sweep_title(r.sweep.name) +
            " " + std::to_string(r.sweep.from) + " to " + std::to_string(r.sweep.to) + ")";
  q.x_title = "offered load G (frames per frame time of " + std::to_string(kFrameTimeMs) + " ms)";
  q.y_title = "throughput on the bus S (frames per frame time)";
  q.series.clear();
  double right = 0;
  for (std::size_t k = 0; k < methods().size(); ++k) {
    PlotSeries s;
    s.name = methods()[k].name;
    for (const SweepPoint& p : r.points) {
      const Summary& g = p.summary[k].offered_load;
      const Summary& t = p.summary[k].throughput_on_bus;
      s.x_mean.push_back(g.mean);
      s.x_low.push_back(g.ci95_low);
      s.x_high.push_back(g.ci95_high);
      s.mean.push_back(t.mean);
      s.low.push_back(t.ci95_low);
      s.high.push_back(t.ci95_high);
      s.labels.push_back(std::to_string(p.value));
      right = std::max({right, g.mean.value_or(0), g.ci95_high.value_or(0)});
    }
    q.series.push_back(std::move(s));
  }

  // Past the points, so that the drawing can cut them where its axis ends.
  const double end = std::max(right, 0.5) * 1.5;
  struct Curve {
    std::string name;
    std::size_t colour;
    double (*s)(double g, double a);
  };
  const Curve curves[] = {
      {"pure ALOHA, S = G e^(-2G) (Abramson)", 0,
       [](double g, double) { return pure_aloha_throughput(g); }},
      {"slotted ALOHA, S = G e^(-G) (Roberts)", 1,
       [](double g, double) { return slotted_aloha_throughput(g); }},
      {"1-persistent CSMA, a = " + a_text + " (Kleinrock-Tobagi)", 2,
       &one_persistent_csma_throughput},
      {"non-persistent CSMA, a = " + a_text + " (Kleinrock-Tobagi)", 3,
       &non_persistent_csma_throughput},
  };
  constexpr int kSteps = 400;
  for (const Curve& c : curves) {
    PlotCurve line;
    line.name = c.name;
    line.colour = c.colour;
    for (int i = 0; i <= kSteps; ++i) {
      const double g = end * i / kSteps;
      line.x.push_back(g);
      line.y.push_back(c.s(g, a));
    }
    q.curves.push_back(std::move(line));
  }
  q.notes.push_back(std::string(methods()[4].name) + ": no textbook curve drawn");
  q.caption += " Each point is one value of the " + sweep_title(r.sweep.name) +
               ", its bars both ways. Dashed: the textbook curves, with a = " + a_text + " (the " +
               std::to_string(delay_ms) + " ms before a sending shows on the bus, over the frame " +
               "time). Beside each point: its " + sweep_title(r.sweep.name) +
               ". BRUVIK's slotted ALOHA lies below its curve because each station counts its "
               "slots from its own last attempt, so no slot is shared (docs/how-bruvik-counts.md).";
}

}  // namespace bruvik
