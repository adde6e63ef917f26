#include "model/form.h"
#include "model/numtext.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/stations/backoff.h"
#include "sim/stations/stations.h"

namespace bruvik {

namespace {

// A station that found the bus busy listens on: each millisecond goes into the generator, and
// its flag stays up. The attempt, the poll and the polls of many milliseconds all do it here.
void listen(Form1& form, int i, VirtualMs t) {
  form.rng().reseed_from_clock(t);
  form.Image3[i].set_visible(true);
  form.emit(EventKind::Busy, i, station_timer(2, i));
}

}  // namespace

void one_persistent_attempt(Form1& form, int i) {
  const int own = station_timer(2, i);
  if (bus_busy(form)) {
    // Keep listening: poll again every millisecond until the bus reads idle.
    form.Timer(own).set_interval(1);
    one_persistent_poll(form, i);
    return;
  }
  form.rng().reseed_from_clock(form.now());
  form.Shape1[i].set_visible(true);
  form.Timer(frame_timer(i)).set_enabled(true);
  send(form);
  form.emit(EventKind::Sent, i, own, form.Text3[0].number());
  if (frames_in_transit(form) < 2) {
    form.Image3[i].set_visible(false);
  } else {
    count_collision(form.Text14[0]);
    form.Image2.set_visible(true);
    form.Timer(1).set_enabled(true);
    form.emit(EventKind::Collision, i, own, form.Text14[0].number());
  }
  form.Timer(own).set_interval(backoff_interval(form));
}

void one_persistent_poll(Form1& form, int i) {
  listen(form, i, form.now());
}

void one_persistent_polls(Form1& form, int i, VirtualMs from, std::uint64_t rounds) {
  for (std::uint64_t r = 0; r < rounds; ++r) listen(form, i, from + static_cast<VirtualMs>(r));
}

}  // namespace bruvik
