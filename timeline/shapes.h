// The timeline's shapes, added to paths so that a whole kind is drawn in one call: the cross of
// a counted collision, the triangle of a busy bus sensed, the diamond of a deferral, hatching.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>

namespace bruvik {

void add_cross(QPainterPath& path, QPointF centre, double size);
void add_triangle(QPainterPath& path, QPointF centre, double size);  // pointing down
void add_diamond(QPainterPath& path, QPointF centre, double size);
// Lines rising to the right every `spacing` px, clipped to `rect`; anchored to the page, so
// that neighbouring hatched stretches join up.
void add_hatch(QPainterPath& path, const QRectF& rect, double spacing);

}  // namespace bruvik
