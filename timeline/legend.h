// The timeline's legend: a swatch and a few words for every kind of mark, flowing over as many
// lines as the width needs.
#pragma once

#include <QPainter>
#include <QRectF>

#include "timeline/style.h"

namespace bruvik {

double legend_height(double width, const TimelineStyle& style);
void paint_legend(QPainter& painter, const QRectF& area, const TimelineStyle& style);

}  // namespace bruvik
