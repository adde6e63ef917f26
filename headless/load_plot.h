// The classic plot of a sweep: throughput on the bus against offered load, a point per swept
// value and method with its intervals both ways, beside the textbook curves.
#pragma once

#include "headless/plot.h"
#include "headless/report.h"

namespace bruvik {

// Turns the plot of `report` against its swept value into the plot against offered load. The
// caption (added to) and the file kind stay.
void put_load_axis(PlotRequest& request, const SweepReport& report);

}  // namespace bruvik
