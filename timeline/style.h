// How the timeline looks: its pinned font and its colours, chosen so that colour-blind readers
// can tell every kind apart (blue against orange, and shapes and hatching besides colour).
#pragma once

#include "timeline/picture.h"

namespace bruvik {

struct TimelineStyle {
  TextFont font;  // labels, axis and legend
  Rgb background{255, 255, 255};
  Rgb stripe{243, 243, 246};  // every other row
  Rgb text{40, 40, 40};
  Rgb good_frame{31, 119, 180};        // solid blue: a frame that met no other
  Rgb overlapped_frame{255, 160, 60};  // orange: it overlapped a frame of another station
  Rgb hatch{110, 50, 0};               // diagonal lines over the overlapping stretch
  Rgb counted{0, 0, 0};                // the cross of a collision the counters counted
  Rgb bus_busy{85, 85, 85};
  Rgb sensed_busy{106, 61, 154};  // a carrier-sensing station found the bus busy
  Rgb deferred{0, 128, 128};      // a p-persistent station deferred
  Rgb boundary{120, 120, 120};
  Rgb cursor{214, 39, 40};
  Rgb let_go{128, 128, 128, 150};  // greys the stretch the record no longer holds
  bool legend = true;
};

// The default look: Liberation Sans at `pixels`, so that pictures look alike everywhere.
TimelineStyle timeline_style(int pixels = 11);

}  // namespace bruvik
