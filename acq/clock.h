// The clock that paces the simulated engine, in milliseconds: the layer's clock (real or
// virtual) on Linux, the system's tick count on Windows. clock/ holds one source per platform.
#pragma once

#include <windows.h>

ULONGLONG acq_clock_ms();
