// The simulated measurement engine's own controls, for the host program and the tests: what the
// engine reports about itself, the pace of its results, and exact spectra to deliver instead of
// the synthetic ones. Settings other than the probe take effect with the next command that uses
// them (a running measurement keeps the seed and interval it started with).
#pragma once

#include <windows.h>

#include "acq.h"

#ifdef __cplusplus
extern "C" {
#endif

// Option word bit of the wideband hardware.
#define ACQSIM_OPTION_WIDEBAND 4
// Longest device name and serial number, in ASCII characters.
#define ACQSIM_NAME_CHARS 15
// Most levels a result can carry: the levels start at byte 10 of the result buffer.
#define ACQSIM_MAX_POINTS ((ACQ_RESULT_BYTES - 10) / 2)
// Most results waiting at once; when more are due, the oldest are dropped.
#define ACQSIM_BACKLOG_MAX 3600
// Most fed spectra waiting at once.
#define ACQSIM_FEED_MAX 3600

// The simulated lines. Steady: carriers over a noise floor with slow drift and short bursts,
// the same at every hour. Field: the steady line's floor and carriers with the disturbances of a
// line in the field, each following the time of day or coming and going: broadcast ingress that
// rises at night, bursts of impulse noise every few minutes, single impulses, an interferer that
// is on now and then, a neighbour line's signal over the day.
#define ACQSIM_SCENARIO_STEADY 0
#define ACQSIM_SCENARIO_FIELD 1

// Back to the defaults: device "SIMULATOR", serial "SIM0000001", option word 0, probe connected,
// seed 1, one result per 1000 ms, the steady line; no result waiting, no measurement running, no
// fed spectrum.
void acqsim_reset(void);

// Printable ASCII, at most ACQSIM_NAME_CHARS characters; anything else is refused (FALSE) and
// the old value kept.
BOOL acqsim_set_device_name(const char *name);
BOOL acqsim_set_serial(const char *serial);

void acqsim_set_options(WORD options);
void acqsim_set_probe(BOOL connected);
void acqsim_set_seed(UINT32 seed);
// Milliseconds of the layer's clock per measure result; 0 is refused.
BOOL acqsim_set_interval_ms(DWORD interval_ms);
// ACQSIM_SCENARIO_STEADY or ACQSIM_SCENARIO_FIELD; anything else is refused (FALSE).
BOOL acqsim_set_scenario(int scenario);

// Queues exact levels for the next measure result made: its first min(count, points) levels are
// these, any further ones synthetic. Each fed spectrum serves one result, in the order fed.
// FALSE (nothing queued) for a null pointer, a count of 0 or above ACQSIM_MAX_POINTS, or a full
// queue.
BOOL acqsim_feed_spectrum(const INT16 *levels, UINT count);

// A measurement as the measure command describes it.
typedef struct {
    UINT32 seed;
    WORD impedance; // Ohm, non-zero
    DWORD start;    // frequency of the first point, in half-hertz
    DWORD step;     // distance between points, in half-hertz
    WORD points;    // 1..ACQSIM_MAX_POINTS
} AcqSimMeasure;

// The synthetic levels (hundredths of a dB on the engine's scale, dBm at 600 Ohm) of result
// `index` (0 for the first) of a measurement, exactly as the engine delivers them. FALSE, with
// nothing written, for a measurement the engine would refuse.
BOOL acqsim_spectrum(const AcqSimMeasure *measure, ULONGLONG index, INT16 *levels);

// The field line's time: milliseconds of local time since 1980-01-01 00:00:00 (0 for a null
// time). Result n of a measurement is the line at the local time of the measure command plus n
// result intervals.
LONGLONG acqsim_local_ms(const SYSTEMTIME *t);

// The field line's levels at `local_ms`, exactly as the engine delivers them; FALSE, with nothing
// written, for a measurement the engine would refuse.
BOOL acqsim_field_spectrum(const AcqSimMeasure *measure, LONGLONG local_ms, INT16 *levels);

// Which of the field line's coming and going disturbances are under way at a moment.
typedef struct {
    BOOL burst;          // a burst of the repetitive impulse noise
    BOOL impulse;        // a single impulse
    BOOL interferer;     // the intermittent narrowband interferer
    DWORD interferer_hz; // its frequency while it is on
    BOOL neighbour;      // the neighbour line's signal
} AcqSimFieldEvents;

// FALSE for a null `events`.
BOOL acqsim_field_events(UINT32 seed, LONGLONG local_ms, AcqSimFieldEvents *events);

#ifdef __cplusplus
}
#endif
