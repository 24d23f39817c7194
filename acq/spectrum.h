// The synthetic spectrum: what a measurement of a telephone line shows at a given start
// frequency, step and impedance. The part that does not change from record to record (noise
// floor, carriers and tone groups) is worked out once per measurement; each record then adds
// drift, bursts and noise, all drawn from counter-based hashes of (seed, record index, point),
// so record n is the same whichever records were made before it.
#pragma once

#include <windows.h>

#include <vector>

#include "acqsim.h"

// Carriers a measurement follows with their own drift; finer ones beyond this are left out.
constexpr size_t SYNTH_MAX_CARRIERS = 256;
// Level of a point where no carrier lies.
constexpr float SYNTH_NONE = -1e30f;

struct Synth {
    AcqSimMeasure measure;
    std::vector<float> floor_db;    // per point: mean noise floor, dB
    std::vector<float> carrier_db;  // per point: strongest carrier there, or SYNTH_NONE
    std::vector<UINT16> carrier_of; // per point: which entry of drift_keys drives it
    std::vector<UINT32> drift_keys; // per carrier (a tone group shares one)
};

// Whether the engine makes spectra for this measurement.
bool synth_valid(const AcqSimMeasure &measure);
// Works out the fixed part of a valid measurement's spectrum.
void synth_prepare(Synth *synth, const AcqSimMeasure &measure);
// The levels of record `index` of the steady line, hundredths of a dB, measure.points of them.
void synth_record(const Synth &synth, ULONGLONG index, INT16 *levels);
// The levels of one record over the fixed part: `when` (in results) moves the floor's and the
// carriers' drift, `noise_when` draws the noise; rise[k] (dB) lifts the floor at point k, and
// tone[k], where it is not SYNTH_NONE, stands over it as a carrier does.
void synth_levels(const Synth &synth, double when, UINT64 noise_when, const float *rise,
                  const float *tone, INT16 *levels);
