#include "model/form.h"
#include "sim/stations/stations.h"

namespace bruvik {

// While nothing listens for Busy, a poll's only lasting effects are the generator's mix of the
// time (1-persistent) and the station's flag, which the last poll sets as every poll does.

void one_persistent_polls(Form1& form, int station, VirtualMs from, std::uint64_t rounds) {
  const VirtualMs last = from + static_cast<VirtualMs>(rounds) - 1;
  for (VirtualMs t = from; t < last; ++t) form.rng().reseed_from_clock(t);
  one_persistent_poll(form, station);
}

void p_persistent_polls(Form1& form, int station, VirtualMs, std::uint64_t) {
  p_persistent_poll(form, station);
}

}  // namespace bruvik
