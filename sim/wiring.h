// Which handler the tick of each of the form's timers calls: the simulation plugged into the
// window model. Every form is built with it.
#pragma once

#include "model/form.h"

namespace bruvik {

const TickHandlers& tick_handlers();

}  // namespace bruvik
