#include "model/form.h"
#include "model/timer_table.h"
#include "sim/stations/stations.h"

namespace bruvik {

void frame_timer_tick(Form1& form, int station) {
  form.Shape1[station].set_visible(false);
  form.Timer(frame_timer(station)).set_enabled(false);
  form.emit(EventKind::FrameEnd, station, frame_timer(station));
}

}  // namespace bruvik
