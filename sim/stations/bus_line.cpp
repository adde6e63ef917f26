#include "model/form.h"
#include "sim/stations/backoff.h"
#include "sim/stations/stations.h"

namespace bruvik {
namespace {

constexpr Colour kBusyColour = 0x00FF0000;  // red 0, green 0, blue 255
constexpr Colour kIdleColour = 0x00000000;

}  // namespace

bool bus_busy(const Form1& form) {
  return form.Line1.border_color() == kBusyColour;
}

bool bus_busy_probe(const void* form) {
  return bus_busy(*static_cast<const Form1*>(form));
}

void fill(Form1& form) {
  const bool was_busy = bus_busy(form);
  form.Line1.set_border_color(kBusyColour);
  form.Line3.set_border_color(kBusyColour);
  form.Line4.set_border_color(kBusyColour);
  form.Line1.set_border_width(2);
  form.Line3.set_border_width(2);
  form.Line4.set_border_width(2);
  form.Timer(12).set_enabled(true);
  if (!was_busy) form.emit(EventKind::BusBusy, -1, 65);
}

void clear_line(Form1& form) {
  if (frames_in_transit(form) != 0) return;
  const bool was_busy = bus_busy(form);
  form.Line1.set_border_color(kIdleColour);
  form.Line3.set_border_color(kIdleColour);
  form.Line4.set_border_color(kIdleColour);
  form.Line1.set_border_width(1);
  form.Line3.set_border_width(1);
  form.Line4.set_border_width(1);
  if (was_busy) form.emit(EventKind::BusIdle, -1, 12);
}

void bus_delay_tick(Form1& form, int) {
  fill(form);
  form.Timer(65).set_enabled(false);
}

void bus_busy_tick(Form1& form, int) {
  clear_line(form);
}

bool bus_busy_tick_idle(const void* f) {
  const Form1& form = *static_cast<const Form1*>(f);
  // The line drawn idle already, or a frame still on it: the cheaper question first.
  for (const Control* line : {&form.Line1, &form.Line3, &form.Line4}) {
    if (line->border_color() != kIdleColour || line->border_width() != 1) {
      return frames_in_transit(form) != 0;
    }
  }
  return true;
}

}  // namespace bruvik
