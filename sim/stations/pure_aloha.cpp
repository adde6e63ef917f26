#include "model/form.h"
#include "model/numtext.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/stations/backoff.h"
#include "sim/stations/stations.h"

namespace bruvik {

void pure_aloha_attempt(Form1& form, int i) {
  const int own = station_timer(0, i);
  form.Shape1[i].set_visible(true);
  form.Timer(frame_timer(i)).set_enabled(true);
  send(form);
  form.emit(EventKind::Sent, i, own, form.Text1[0].number());
  if (frames_in_transit(form) < 2) {
    form.Image3[i].set_visible(false);
  } else {
    count_collision(form.Text1[1]);
    form.Image2.set_visible(true);
    form.Timer(1).set_enabled(true);
    form.Image3[i].set_visible(true);
    form.emit(EventKind::Collision, i, own, form.Text1[1].number());
  }
  form.Timer(own).set_interval(backoff_interval(form));
}

void collision_display_tick(Form1& form, int) {
  form.Image2.set_visible(false);
  form.Timer(1).set_enabled(false);
  // Read with the leading-number parse, as the seconds clock does: whatever the user has typed
  // into the box must not end the program.
  form.Text7.set_number(numtext::add(form.Text7.number(), 1));
}

}  // namespace bruvik
