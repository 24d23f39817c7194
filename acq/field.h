// The field line: the steady line's floor and carriers, with the disturbances that a line in
// the field shows. Each disturbance is a model with its parameters below; everything it does is
// a hash of the seed and the local time (milliseconds since 1980-01-01 00:00:00), so a record is
// the same whenever and in whatever order it is made. Levels in dB are on the engine's scale
// (dBm at 600 Ohm) before the impedance's shift, which the field line applies as the steady one
// does; "over the floor" means added to the floor's level at that point and moment.
#pragma once

#include <vector>

#include "spectrum.h"
#include "synth_math.h"

// ---- Noise floor by the time of day ----------------------------------------------------------
// Appliances, lighting and traffic on the premises and along the cable's route: the floor rises
// through the day to its highest in the evening and is lowest in the early morning.
constexpr double FIELD_FLOOR_DAY_DB = 2;     // the floor swings this much either way over a day
constexpr double FIELD_FLOOR_PEAK_HOUR = 20; // hour of the highest floor

// ---- Broadcast ingress -----------------------------------------------------------------------
// The line picks up broadcasters like an antenna. By day only the ground wave of near
// transmitters arrives; after dusk the sky wave brings distant ones up by tens of dB, and it fades
// as the ionosphere moves. Night runs from FIELD_NIGHT_HOUR - 4 h to + 4 h at full strength, with
// four hours of twilight on either side.
constexpr double FIELD_NIGHT_HOUR = 1; // middle of the night
constexpr int FIELD_MW_STATIONS = 14;  // medium wave: 531 kHz + 9 kHz channels
constexpr double FIELD_MW_FIRST_HZ = 531e3;
constexpr double FIELD_MW_CHANNEL_HZ = 9e3;
constexpr int FIELD_MW_CHANNELS = 120;
constexpr int FIELD_SW_STATIONS = 8; // short wave: 5 kHz channels in four bands
constexpr double FIELD_SW_CHANNEL_HZ = 5e3;
constexpr double FIELD_SW_BANDS_HZ[4][2] = {
    {5.9e6, 6.2e6}, {7.2e6, 7.45e6}, {9.4e6, 9.9e6}, {11.6e6, 12.1e6}};
constexpr double FIELD_INGRESS_DAY_DB = -102; // day level: from this up by FIELD_INGRESS_SPREAD_DB
constexpr double FIELD_INGRESS_SPREAD_DB = 15;
constexpr double FIELD_INGRESS_NIGHT_DB = 15; // sky wave at night: from this up by the spread
constexpr double FIELD_INGRESS_NIGHT_SPREAD_DB = 15;
constexpr double FIELD_FADE_DAY_DB = 1; // fading, either way, by day and at night
constexpr double FIELD_FADE_NIGHT_DB = 5;
constexpr double FIELD_FADE_SECONDS = 30; // between the fading's turning points

// ---- Repetitive impulse noise ----------------------------------------------------------------
// A device on the premises that switches regularly (a thermostat, a pump, an electric fence):
// every period a burst of impulses, broadband, rolling off above a corner frequency, with a comb
// of the impulses' repetition frequency standing over it where the points resolve it.
constexpr int FIELD_BURST_PERIOD_MIN_S = 150; // the period: from this, by the seed, up to max
constexpr int FIELD_BURST_PERIOD_MAX_S = 300;
constexpr int FIELD_BURST_JITTER_S = 20; // a burst starts up to this late in its period
constexpr int FIELD_BURST_MIN_S = 1;     // length of a burst
constexpr int FIELD_BURST_MAX_S = 3;
constexpr double FIELD_BURST_MIN_DB = 20; // broadband level over the floor, per burst
constexpr double FIELD_BURST_MAX_DB = 40;
constexpr double FIELD_BURST_CORNER_MIN_HZ = 2e6; // roll-off corner, by the seed
constexpr double FIELD_BURST_CORNER_MAX_HZ = 8e6;
constexpr double FIELD_COMB_MIN_HZ = 20e3; // repetition frequency, by the seed
constexpr double FIELD_COMB_MAX_HZ = 80e3;
constexpr double FIELD_COMB_DB = 25;       // a harmonic over the broadband level
constexpr double FIELD_COMB_MIN_STEPS = 3; // harmonics closer than this many steps merge

// ---- Single impulses -------------------------------------------------------------------------
// A switching surge or a distant lightning strike: one second of a flat, high rise at a random
// moment of some of the slots of time.
constexpr int FIELD_IMPULSE_SLOT_S = 900;
constexpr double FIELD_IMPULSE_CHANCE = 0.5;
constexpr double FIELD_IMPULSE_MIN_DB = 45; // over the floor
constexpr double FIELD_IMPULSE_MAX_DB = 60;

// ---- Intermittent interferer -----------------------------------------------------------------
// A nearby radio transmitter or a faulty power supply that is switched on now and then: in each
// slot it is on once, for minutes, at a frequency of its own (spread evenly in log frequency),
// and off for tens of minutes between.
constexpr int FIELD_INTERFERER_SLOT_S = 70 * 60;
constexpr int FIELD_INTERFERER_LATEST_S = 20 * 60; // latest start within a slot
constexpr int FIELD_INTERFERER_ON_MIN_S = 3 * 60;
constexpr int FIELD_INTERFERER_ON_MAX_S = 12 * 60;
constexpr double FIELD_INTERFERER_LOW_HZ = 50e3;
constexpr double FIELD_INTERFERER_HIGH_HZ = 30e6;
constexpr double FIELD_INTERFERER_DB = -85; // level: from this up by the spread
constexpr double FIELD_INTERFERER_SPREAD_DB = 25;

// ---- Neighbour line --------------------------------------------------------------------------
// A neighbouring pair in the same cable whose modem trains up in the morning and drops in the
// evening: its crosstalk is a plateau of noise over its band, sloping at the band's edges.
constexpr double FIELD_NEIGHBOUR_LOW_MIN_HZ = 1.7e6; // lower edge, by the seed, up to max
constexpr double FIELD_NEIGHBOUR_LOW_MAX_HZ = 2.1e6;
constexpr double FIELD_NEIGHBOUR_WIDTH_MIN_HZ = 0.5e6;
constexpr double FIELD_NEIGHBOUR_WIDTH_MAX_HZ = 1.0e6;
constexpr double FIELD_NEIGHBOUR_EDGE = 0.05; // share of the width over which an edge slopes
constexpr double FIELD_NEIGHBOUR_MIN_DB = 22; // plateau over the floor
constexpr double FIELD_NEIGHBOUR_MAX_DB = 30;
constexpr double FIELD_NEIGHBOUR_ON_HOUR = 6;   // on from this hour, by the seed, up to 3 h later
constexpr double FIELD_NEIGHBOUR_OFF_HOUR = 21; // off from this hour, likewise

// ---- The line as the engine makes it ---------------------------------------------------------

struct FieldStation {
    double hz;
    double day_db;   // level by day
    double night_db; // added at night
    UINT32 key;      // of its fading
};

// The parts of a field measurement that do not change from record to record.
struct FieldSynth {
    synth::Grid grid;                // points worked out: 1 when the step is 0
    double shift_db;                 // the impedance's shift
    std::vector<float> burst_db;     // per point: burst over its broadband level (roll-off, comb)
    std::vector<float> neighbour_db; // per point: the neighbour's plateau over the floor, or 0
    std::vector<FieldStation> stations;
};

// What the field line's disturbances do at a moment.
struct FieldEvents {
    bool burst, impulse, interferer, neighbour;
    double burst_db, impulse_db; // their rise over the floor, while under way
    double interferer_hz, interferer_db;
};

void field_prepare(FieldSynth *field, const AcqSimMeasure &measure);
void field_events(UINT32 seed, LONGLONG local_ms, FieldEvents *events);
// The levels of the record at `local_ms`, measure.points of them; `line` is the steady line's
// fixed part for the same measurement.
void field_record(const Synth &line, const FieldSynth &field, LONGLONG local_ms, INT16 *levels);
// Milliseconds of local time since 1980-01-01 00:00:00.
LONGLONG field_local_ms(const SYSTEMTIME &t);
