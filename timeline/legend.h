// The timeline's legend: a swatch and a few words for every kind of mark, flowing over as many
// lines as the width needs.
#pragma once

#include <vector>

#include "timeline/picture.h"
#include "timeline/style.h"

namespace bruvik {

double legend_height(double width, const TimelineStyle& style, const TextMeasure& measure);
void add_legend(std::vector<Primitive>& out, const Rect& area, const TimelineStyle& style,
                const TextMeasure& measure);

}  // namespace bruvik
