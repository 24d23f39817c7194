// The one clock, as the rest of the layer sees it: window-manager timers fall due by
// wl_clock_ms(), and a message loop with nothing to do brings the clock to its next timer.
#pragma once

#include "windef.h"

// Brings the clock to `when` (a wl_clock_ms() value): the virtual clock jumps there at once,
// the real one is waited for. A time already past does nothing.
void clock_advance_to(ULONGLONG when);
