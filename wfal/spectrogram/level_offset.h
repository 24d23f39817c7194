// The level offset: what turns stored levels (hundredths of a dB, dBm at 600 ohms) into the
// display unit at the line's impedance. A shown level is the stored one minus the offset. Pure
// functions, shared by the view and by anything else that shows a result file's levels.
#pragma once

#include <windows.h>

// 10 x log10 of the frequency step in whole hertz (the half-hertz step / 2, truncated), in
// hundredths of a dB and truncated toward zero; 0 for a step without a logarithm.
int level_bandwidth_correction(INT32 frequency_step);
// The offset for a level unit (LEVEL_UNIT_DBM, LEVEL_UNIT_DBM_HZ; 0 for any other value) at
// `impedance` ohms (no impedance correction for one of 0 or less).
int level_offset(int unit, int bandwidth_correction, int impedance);
