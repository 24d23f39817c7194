// On Linux the engine follows the layer's one clock, so that a virtual clock paces it too.
#include "clock.h"

#include <winlayer.h>

ULONGLONG acq_clock_ms() {
    return wl_clock_ms();
}
