#include "model/form.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/stations/backoff.h"
#include "sim/stations/stations.h"

namespace bruvik {

void non_persistent_attempt(Form1& form, int i) {
  const int own = station_timer(3, i);
  if (bus_busy(form)) {
    // Do not keep listening: try again after a fresh back-off.
    form.Image3[i].set_visible(true);
    form.emit(EventKind::Busy, i, own);
  } else {
    send(form);
    form.Shape1[i].set_visible(true);
    form.Timer(frame_timer(i)).set_enabled(true);
    form.emit(EventKind::Sent, i, own, form.Text4[0].number());
    if (frames_in_transit(form) < 2) {
      form.Image3[i].set_visible(false);
    } else {
      count_collision(form.Text14[1]);
      form.Image3[i].set_visible(true);
      form.emit(EventKind::Collision, i, own, form.Text14[1].number());
    }
  }
  form.Timer(own).set_interval(backoff_interval(form));
}

}  // namespace bruvik
