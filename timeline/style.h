// How the timeline looks: its pinned font and its colours, chosen so that colour-blind readers
// can tell every kind apart (blue against orange, and shapes and hatching besides colour).
#pragma once

#include <QColor>
#include <QFont>

namespace bruvik {

struct TimelineStyle {
  QFont font;  // labels, axis and legend
  QColor background{255, 255, 255};
  QColor stripe{243, 243, 246};  // every other row
  QColor text{40, 40, 40};
  QColor good_frame{31, 119, 180};        // solid blue: a frame that met no other
  QColor overlapped_frame{255, 160, 60};  // orange: it overlapped a frame of another station
  QColor hatch{110, 50, 0};               // diagonal lines over the overlapping stretch
  QColor counted{0, 0, 0};                // the cross of a collision the counters counted
  QColor bus_busy{85, 85, 85};
  QColor sensed_busy{106, 61, 154};  // a carrier-sensing station found the bus busy
  QColor deferred{0, 128, 128};      // a p-persistent station deferred
  QColor boundary{120, 120, 120};
  QColor cursor{214, 39, 40};
  bool legend = true;
};

// The default look: Liberation Sans at `pixels`, so that pictures look alike everywhere.
TimelineStyle timeline_style(int pixels = 11);

}  // namespace bruvik
