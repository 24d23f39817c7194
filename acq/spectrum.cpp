// The synthetic spectrum of a simulated line measurement.
#include "spectrum.h"

#include <math.h>

#include <algorithm>
#include <array>

#include "synth_math.h"

namespace {

using namespace synth;

// ---- Hash streams ----------------------------------------------------------------------------

// What a hash is drawn for, so that the streams of one seed never meet.
enum : UINT64 {
    KEY_CELL = 1,
    KEY_RIPPLE = 2,
    KEY_FLOOR_DRIFT = 3,
    KEY_CARRIER_DRIFT = 4,
    KEY_BURST = 5,
    KEY_NOISE = 6,
};

// ---- The fixed part: noise floor and carriers ------------------------------------------------

// The floor falls from FLOOR_TOP_DB by FLOOR_FALL_DB over FLOOR_DECADES decades above
// FLOOR_KNEE_HZ and a further FLOOR_TILT_DB per FLOOR_TILT_HZ, as line noise does, with excess
// noise below a few kilohertz and a slight ripple from reflections.
constexpr double FLOOR_TOP_DB = -114;
constexpr double FLOOR_FALL_DB = 12;
constexpr double FLOOR_KNEE_HZ = 100;
constexpr double FLOOR_DECADES = 6.33;
constexpr double FLOOR_TILT_DB = 5;
constexpr double FLOOR_TILT_HZ = 212e6;
constexpr double LOW_EXCESS_DB = 9;
constexpr double LOW_EXCESS_HZ = 1000;
constexpr double RIPPLE_DB = 0.8;

// Carriers live in cells of a frequency grid that is 4 times coarser at each of its levels.
// A measurement shows the levels whose cells are at least CELL_MIN_BINS of its steps wide, so a
// carrier seen at a coarse step is also there at every finer step, at the same frequency.
constexpr double CELL_BASE_HZ = 25;
constexpr int CELL_LEVELS = 13;
constexpr double CELL_MIN_BINS = 2;
constexpr double CARRIER_CHANCE = 0.10;
constexpr double GROUP_CHANCE = 0.025;

double floor_db(UINT32 seed, double hz) {
    double fall = std::min(1.0, log10(1 + hz / FLOOR_KNEE_HZ) / FLOOR_DECADES);
    UINT64 h = hash3(stream(seed, KEY_RIPPLE), 0, 0);
    double period_hz = 2e6 + 4e6 * unit(h);
    double phase = 2 * PI * unit(mix(h + 1));
    return FLOOR_TOP_DB - FLOOR_FALL_DB * fall - FLOOR_TILT_DB * hz / FLOOR_TILT_HZ +
           LOW_EXCESS_DB * LOW_EXCESS_HZ / (LOW_EXCESS_HZ + hz) +
           RIPPLE_DB * sin(2 * PI * hz / period_hz + phase);
}

void place_tone(Synth *synth, const Grid &grid, double hz, double level, UINT16 carrier) {
    spread_tone(grid, hz, level, [&](size_t i, double db) {
        if (db > synth->carrier_db[i]) {
            synth->carrier_db[i] = float(db);
            synth->carrier_of[i] = carrier;
        }
    });
}

bool new_carrier(Synth *synth, UINT32 key, UINT16 *carrier) {
    if (synth->drift_keys.size() >= SYNTH_MAX_CARRIERS) return false;
    *carrier = UINT16(synth->drift_keys.size());
    synth->drift_keys.push_back(key);
    return true;
}

// A group of 3 to 8 evenly spaced tones falling off in level, drifting together.
void add_group(Synth *synth, const Grid &grid, UINT64 h, double cell_hz, double width_hz,
               double shift_db) {
    UINT16 carrier;
    if (!new_carrier(synth, UINT32(mix(h + 1)), &carrier)) return;
    double hz = cell_hz + width_hz * unit(mix(h + 2));
    double spacing = width_hz * (0.04 + 0.12 * unit(mix(h + 3)));
    int tones = 3 + int(mix(h + 4) % 6);
    double level = -90 + 35 * unit(mix(h + 5)) + shift_db;
    for (int j = 0; j < tones; ++j) {
        place_tone(synth, grid, hz + j * spacing, level, carrier);
        level -= 1.5 + 3 * unit(mix(h + 6 + j));
    }
}

void add_cell(Synth *synth, const Grid &grid, int level, UINT64 cell, double width_hz,
              double shift_db) {
    UINT64 h = hash3(stream(synth->measure.seed, KEY_CELL), UINT64(level), cell);
    double kind = unit(h);
    double cell_hz = double(cell) * width_hz;
    if (kind < CARRIER_CHANCE) {
        UINT16 carrier;
        if (!new_carrier(synth, UINT32(mix(h + 1)), &carrier)) return;
        double hz = cell_hz + width_hz * unit(mix(h + 2));
        place_tone(synth, grid, hz, -100 + 55 * unit(mix(h + 3)) + shift_db, carrier);
    } else if (kind < CARRIER_CHANCE + GROUP_CHANCE) {
        add_group(synth, grid, h, cell_hz, width_hz, shift_db);
    }
}

// Coarse levels first: when the carrier table fills up, the finest carriers are the ones left
// out. A group may reach two cells past its own, so cells start two widths below the range.
void add_carriers(Synth *synth, const Grid &grid, double shift_db) {
    double last_hz = grid.first_hz + grid.bin_hz * (grid.points - 1);
    for (int level = CELL_LEVELS - 1; level >= 0; --level) {
        double width_hz = CELL_BASE_HZ * pow(4.0, level);
        if (width_hz < CELL_MIN_BINS * grid.bin_hz) break;
        double lo = std::max(0.0, floor((grid.first_hz - 2 * width_hz) / width_hz));
        double hi = floor(last_hz / width_hz);
        for (double cell = lo; cell <= hi; ++cell)
            add_cell(synth, grid, level, UINT64(cell), width_hz, shift_db);
    }
}

// ---- The changing part: drift, bursts and noise ----------------------------------------------

constexpr double FLOOR_DRIFT_DB = 1.5;
constexpr double FLOOR_DRIFT_RESULTS = 120; // results between the floor drift's turning points
constexpr double CARRIER_DRIFT_DB = 3;
constexpr double CARRIER_DRIFT_RESULTS = 300;
constexpr ULONGLONG BURST_SLOT = 40; // at most one burst starts in each slot of results
constexpr double BURST_CHANCE = 0.35;
constexpr float JITTER_DB = 0.6f; // a carrier's own noise, peak to peak

struct Burst {
    int lo, hi; // points lo..hi-1
    float edge; // points over which it rises to full height
    float amp;
};

bool burst_in_slot(const AcqSimMeasure &m, ULONGLONG slot, ULONGLONG index, Burst *burst) {
    UINT64 h = hash3(stream(m.seed, KEY_BURST), slot, 0);
    if (unit(h) >= BURST_CHANCE) return false;
    ULONGLONG start = slot * BURST_SLOT + mix(h + 1) % BURST_SLOT;
    ULONGLONG length = 2 + mix(h + 2) % 7;
    if (index < start || index >= start + length) return false;
    double centre = m.points * unit(mix(h + 3));
    double width = std::max(1.0, m.points * (0.05 + 0.35 * unit(mix(h + 4))));
    burst->lo = std::max(0, int(centre - width / 2));
    burst->hi = std::min(int(m.points), int(centre + width / 2) + 1);
    burst->edge = float(std::max(1.0, width / 5));
    burst->amp = float(8 + 22 * unit(mix(h + 5)));
    return true;
}

// A burst lasts at most 8 results, less than a slot, so only this slot's and the previous
// one's can be under way.
int bursts_at(const AcqSimMeasure &m, ULONGLONG index, Burst bursts[2]) {
    ULONGLONG slot = index / BURST_SLOT;
    int count = burst_in_slot(m, slot, index, &bursts[0]) ? 1 : 0;
    if (slot > 0 && burst_in_slot(m, slot - 1, index, &bursts[count])) ++count;
    return count;
}

float burst_rise(const Burst *bursts, int count, int k) {
    float rise = 0;
    for (int b = 0; b < count; ++b) {
        if (k < bursts[b].lo || k >= bursts[b].hi) continue;
        float ramp =
            std::min(float(k - bursts[b].lo + 1), float(bursts[b].hi - k)) / bursts[b].edge;
        rise += bursts[b].amp * std::min(1.0f, ramp);
    }
    return rise;
}

// Quantiles of the level of a noise-only point, in dB about the floor: the power of noise in a
// bin is exponentially distributed, so its level lies mostly a little below the mean, with
// deep dips.
struct NoiseTable {
    float db[256];
    NoiseTable() {
        for (int i = 0; i < 256; ++i)
            db[i] = float(10 * log10(-log((i + 0.5) / 256)));
    }
};

const NoiseTable &noise_table() {
    static const NoiseTable table;
    return table;
}

// Rounds half up without a library call: the clamped value is made positive, where truncation
// rounds down.
INT16 to_level(float db) {
    float shifted = std::min(65535.0f, std::max(0.0f, db * 100 + 32768.5f));
    return INT16(int(shifted) - 32768);
}

} // namespace

bool synth_valid(const AcqSimMeasure &measure) {
    return measure.points >= 1 && measure.points <= ACQSIM_MAX_POINTS && measure.impedance != 0;
}

// With a step of 0 every point lies at the same frequency: one point is worked out and copied.
void synth_prepare(Synth *synth, const AcqSimMeasure &measure) {
    synth->measure = measure;
    const Grid grid = {measure.start / 2.0, measure.step > 0 ? measure.step / 2.0 : 1.0,
                       measure.step > 0 ? int(measure.points) : 1};
    double shift_db = 10 * log10(600.0 / measure.impedance);
    synth->floor_db.assign(grid.points, 0);
    synth->carrier_db.assign(grid.points, SYNTH_NONE);
    synth->carrier_of.assign(grid.points, 0);
    synth->drift_keys.clear();
    for (int k = 0; k < grid.points; ++k)
        synth->floor_db[k] =
            float(floor_db(measure.seed, grid.first_hz + k * grid.bin_hz) + shift_db);
    add_carriers(synth, grid, shift_db);
    synth->floor_db.resize(measure.points, synth->floor_db[0]);
    synth->carrier_db.resize(measure.points, synth->carrier_db[0]);
    synth->carrier_of.resize(measure.points, synth->carrier_of[0]);
}

void synth_levels(const Synth &synth, double when, UINT64 noise_when, const float *rise,
                  const float *tone, INT16 *levels) {
    const AcqSimMeasure &m = synth.measure;
    const float *noise = noise_table().db;
    float floor_drift = float(
        FLOOR_DRIFT_DB * wander(stream(m.seed, KEY_FLOOR_DRIFT), 0, when / FLOOR_DRIFT_RESULTS));
    std::array<float, SYNTH_MAX_CARRIERS> drift;
    for (size_t c = 0; c < synth.drift_keys.size(); ++c)
        drift[c] =
            float(CARRIER_DRIFT_DB * wander(stream(m.seed, KEY_CARRIER_DRIFT), synth.drift_keys[c],
                                            when / CARRIER_DRIFT_RESULTS));
    UINT64 noise_key = hash3(stream(m.seed, KEY_NOISE), noise_when, 0);
    UINT64 h = 0;
    for (int k = 0; k < m.points; ++k) {
        // One hash serves two points: 24 bits each.
        h = (k & 1) ? h >> 32 : mix(noise_key + UINT64(k) * K1);
        float level = synth.floor_db[k] + floor_drift + rise[k] +
                      0.5f * (noise[h & 255] + noise[(h >> 8) & 255]);
        float jitter = JITTER_DB * (float((h >> 16) & 255) / 255 - 0.5f);
        if (synth.carrier_db[k] > SYNTH_NONE)
            level = std::max(level, synth.carrier_db[k] + drift[synth.carrier_of[k]] + jitter);
        if (tone && tone[k] > SYNTH_NONE) level = std::max(level, tone[k] + jitter);
        levels[k] = to_level(level);
    }
}

void synth_record(const Synth &synth, ULONGLONG index, INT16 *levels) {
    Burst bursts[2];
    int burst_count = bursts_at(synth.measure, index, bursts);
    float rise[ACQSIM_MAX_POINTS];
    for (int k = 0; k < synth.measure.points; ++k)
        rise[k] = burst_rise(bursts, burst_count, k);
    synth_levels(synth, double(index), index, rise, nullptr, levels);
}

BOOL acqsim_spectrum(const AcqSimMeasure *measure, ULONGLONG index, INT16 *levels) {
    if (!measure || !levels || !synth_valid(*measure)) return FALSE;
    Synth synth;
    synth_prepare(&synth, *measure);
    synth_record(synth, index, levels);
    return TRUE;
}
