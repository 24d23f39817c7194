// On Windows the engine follows the system's tick count, the clock of the module's timers.
#include "clock.h"

ULONGLONG acq_clock_ms() {
    return GetTickCount64();
}
