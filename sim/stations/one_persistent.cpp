#include "model/form.h"
#include "model/numtext.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/stations/backoff.h"
#include "sim/stations/stations.h"

namespace bruvik {

namespace {

void keep_listening(Form1& form, int i) {
  form.Image3[i].set_visible(true);
  form.emit(EventKind::Busy, i, station_timer(2, i));
}

}  // namespace

void one_persistent_attempt(Form1& form, int i) {
  const int own = station_timer(2, i);
  form.rng().reseed_from_clock(form.now());
  if (bus_busy(form)) {
    // Keep listening: poll again every millisecond until the bus reads idle.
    form.Timer(own).set_interval(1);
    keep_listening(form, i);
    return;
  }
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
  form.rng().reseed_from_clock(form.now());
  keep_listening(form, i);
}

}  // namespace bruvik
