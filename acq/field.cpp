// The field line's disturbances over the steady line's floor and carriers.
#include "field.h"

#include <math.h>

#include <algorithm>

#include "acqsim.h"

namespace {

using namespace synth;

// What a hash is drawn for; the steady line's streams use the keys below 16.
enum : UINT64 {
    KEY_STATION = 16,
    KEY_FADE = 17,
    KEY_BURST_LINE = 18, // what the bursts of one seed share: period, corner, comb
    KEY_BURST = 19,      // one burst
    KEY_IMPULSE = 20,
    KEY_INTERFERER = 21,
    KEY_NEIGHBOUR = 22,
};

constexpr LONGLONG DAY_MS = 86400000;

double between(double lo, double hi, UINT64 h) {
    return lo + (hi - lo) * unit(mix(h));
}

// A whole number in lo..hi.
LONGLONG whole_between(LONGLONG lo, LONGLONG hi, UINT64 h) {
    return lo + LONGLONG(mix(h) % UINT64(hi - lo + 1));
}

double hour_of(LONGLONG local_ms) {
    return double((local_ms % DAY_MS + DAY_MS) % DAY_MS) / 3.6e6;
}

// 1 at night, 0 by day, rising and falling through four hours of twilight.
double night_share(double hour) {
    return std::min(1.0, std::max(0.0, 0.5 + cos(2 * PI * (hour - FIELD_NIGHT_HOUR) / 24)));
}

UINT64 burst_line(UINT32 seed) {
    return hash3(stream(seed, KEY_BURST_LINE), 0, 0);
}

UINT64 neighbour_line(UINT32 seed) {
    return hash3(stream(seed, KEY_NEIGHBOUR), 0, 0);
}

FieldStation station(UINT64 h, double hz) {
    return {hz,
            between(FIELD_INGRESS_DAY_DB, FIELD_INGRESS_DAY_DB + FIELD_INGRESS_SPREAD_DB, h + 2),
            between(FIELD_INGRESS_NIGHT_DB, FIELD_INGRESS_NIGHT_DB + FIELD_INGRESS_NIGHT_SPREAD_DB,
                    h + 3),
            UINT32(mix(h + 4))};
}

// Only the stations within reach of the points are kept.
void add_stations(FieldSynth *field, UINT32 seed) {
    const Grid &g = field->grid;
    const double lo = g.first_hz - 2 * g.bin_hz, hi = g.first_hz + (g.points + 1) * g.bin_hz;
    auto keep = [&](const FieldStation &s) {
        if (s.hz >= lo && s.hz <= hi) field->stations.push_back(s);
    };
    for (UINT64 i = 0; i < FIELD_MW_STATIONS; ++i) {
        UINT64 h = hash3(stream(seed, KEY_STATION), 0, i);
        keep(station(h, FIELD_MW_FIRST_HZ +
                            FIELD_MW_CHANNEL_HZ * whole_between(0, FIELD_MW_CHANNELS - 1, h)));
    }
    for (UINT64 i = 0; i < FIELD_SW_STATIONS; ++i) {
        UINT64 h = hash3(stream(seed, KEY_STATION), 1, i);
        const double *band = FIELD_SW_BANDS_HZ[mix(h) % 4];
        LONGLONG channels = LONGLONG((band[1] - band[0]) / FIELD_SW_CHANNEL_HZ);
        keep(station(h, band[0] + FIELD_SW_CHANNEL_HZ * whole_between(0, channels, h + 1)));
    }
}

// The burst's roll-off above its corner, and its comb where the step resolves it.
void shape_bursts(FieldSynth *field, UINT32 seed) {
    const Grid &g = field->grid;
    UINT64 h = burst_line(seed);
    double corner = between(FIELD_BURST_CORNER_MIN_HZ, FIELD_BURST_CORNER_MAX_HZ, h + 1);
    double comb_hz = between(FIELD_COMB_MIN_HZ, FIELD_COMB_MAX_HZ, h + 2);
    std::vector<float> comb(g.points, 0);
    if (comb_hz >= FIELD_COMB_MIN_STEPS * g.bin_hz) {
        double first = std::max(1.0, ceil((g.first_hz - g.bin_hz) / comb_hz));
        double last = floor((g.first_hz + g.points * g.bin_hz) / comb_hz);
        for (double n = first; n <= last; ++n)
            spread_tone(g, n * comb_hz, FIELD_COMB_DB,
                        [&](size_t i, double db) { comb[i] = std::max(comb[i], float(db)); });
    }
    field->burst_db.resize(g.points);
    for (int k = 0; k < g.points; ++k) {
        double ratio = (g.first_hz + k * g.bin_hz) / corner;
        field->burst_db[k] = float(-10 * log10(1 + ratio * ratio)) + comb[k];
    }
}

void shape_neighbour(FieldSynth *field, UINT32 seed) {
    const Grid &g = field->grid;
    UINT64 h = neighbour_line(seed);
    double lo = between(FIELD_NEIGHBOUR_LOW_MIN_HZ, FIELD_NEIGHBOUR_LOW_MAX_HZ, h + 1);
    double width = between(FIELD_NEIGHBOUR_WIDTH_MIN_HZ, FIELD_NEIGHBOUR_WIDTH_MAX_HZ, h + 2);
    double level = between(FIELD_NEIGHBOUR_MIN_DB, FIELD_NEIGHBOUR_MAX_DB, h + 3);
    field->neighbour_db.resize(g.points);
    for (int k = 0; k < g.points; ++k) {
        double hz = g.first_hz + k * g.bin_hz;
        double inside = std::min(hz - lo, lo + width - hz) / (width * FIELD_NEIGHBOUR_EDGE);
        field->neighbour_db[k] = float(level * std::min(1.0, std::max(0.0, inside)));
    }
}

void burst_at(UINT32 seed, LONGLONG second, FieldEvents *e) {
    LONGLONG period =
        whole_between(FIELD_BURST_PERIOD_MIN_S, FIELD_BURST_PERIOD_MAX_S, burst_line(seed) + 3);
    LONGLONG k = second / period;
    UINT64 h = hash3(stream(seed, KEY_BURST), UINT64(k), 0);
    LONGLONG start = k * period + whole_between(0, FIELD_BURST_JITTER_S - 1, h);
    LONGLONG length = whole_between(FIELD_BURST_MIN_S, FIELD_BURST_MAX_S, h + 1);
    e->burst = second >= start && second < start + length;
    e->burst_db = between(FIELD_BURST_MIN_DB, FIELD_BURST_MAX_DB, h + 2);
}

void impulse_at(UINT32 seed, LONGLONG second, FieldEvents *e) {
    LONGLONG slot = second / FIELD_IMPULSE_SLOT_S;
    UINT64 h = hash3(stream(seed, KEY_IMPULSE), UINT64(slot), 0);
    e->impulse =
        unit(h) < FIELD_IMPULSE_CHANCE &&
        second == slot * FIELD_IMPULSE_SLOT_S + whole_between(0, FIELD_IMPULSE_SLOT_S - 1, h + 1);
    e->impulse_db = between(FIELD_IMPULSE_MIN_DB, FIELD_IMPULSE_MAX_DB, h + 2);
}

void interferer_at(UINT32 seed, LONGLONG second, FieldEvents *e) {
    LONGLONG slot = second / FIELD_INTERFERER_SLOT_S;
    UINT64 h = hash3(stream(seed, KEY_INTERFERER), UINT64(slot), 0);
    LONGLONG start =
        slot * FIELD_INTERFERER_SLOT_S + whole_between(0, FIELD_INTERFERER_LATEST_S, h);
    LONGLONG on = whole_between(FIELD_INTERFERER_ON_MIN_S, FIELD_INTERFERER_ON_MAX_S, h + 1);
    e->interferer = second >= start && second < start + on;
    e->interferer_hz =
        floor(FIELD_INTERFERER_LOW_HZ *
              pow(FIELD_INTERFERER_HIGH_HZ / FIELD_INTERFERER_LOW_HZ, unit(mix(h + 2))));
    e->interferer_db =
        between(FIELD_INTERFERER_DB, FIELD_INTERFERER_DB + FIELD_INTERFERER_SPREAD_DB, h + 3);
}

void neighbour_at(UINT32 seed, double hour, FieldEvents *e) {
    UINT64 h = neighbour_line(seed);
    double on = FIELD_NEIGHBOUR_ON_HOUR + 3 * unit(mix(h + 4));
    double off = FIELD_NEIGHBOUR_OFF_HOUR + 3 * unit(mix(h + 5));
    e->neighbour = hour >= on && hour < off;
}

// The floor's lift of the moment, and each point's lift by the broadband disturbances under way.
void fill_rise(const FieldSynth &field, const FieldEvents &e, double hour, float *rise) {
    float base = float(FIELD_FLOOR_DAY_DB * cos(2 * PI * (hour - FIELD_FLOOR_PEAK_HOUR) / 24));
    if (e.impulse) base += float(e.impulse_db);
    std::fill(rise, rise + field.grid.points, base);
    if (e.burst) {
        for (int k = 0; k < field.grid.points; ++k)
            rise[k] += float(e.burst_db) + field.burst_db[k];
    }
    if (e.neighbour) {
        for (int k = 0; k < field.grid.points; ++k)
            rise[k] += field.neighbour_db[k];
    }
}

void fill_tones(const FieldSynth &field, UINT32 seed, const FieldEvents &e, double hour,
                double seconds, float *tone) {
    std::fill(tone, tone + field.grid.points, SYNTH_NONE);
    auto raise = [tone](size_t i, double db) { tone[i] = std::max(tone[i], float(db)); };
    double night = night_share(hour);
    double fade_db = FIELD_FADE_DAY_DB + night * (FIELD_FADE_NIGHT_DB - FIELD_FADE_DAY_DB);
    for (const FieldStation &s : field.stations) {
        double fade = wander(stream(seed, KEY_FADE), s.key, seconds / FIELD_FADE_SECONDS);
        spread_tone(field.grid, s.hz,
                    s.day_db + night * s.night_db + fade_db * fade + field.shift_db, raise);
    }
    if (e.interferer)
        spread_tone(field.grid, e.interferer_hz, e.interferer_db + field.shift_db, raise);
}

} // namespace

LONGLONG field_local_ms(const SYSTEMTIME &t) {
    // Days since 1970-01-01 of the proleptic Gregorian calendar, counted in eras of 400 years.
    LONGLONG y = LONGLONG(t.wYear) - (t.wMonth <= 2);
    LONGLONG era = (y >= 0 ? y : y - 399) / 400;
    LONGLONG year_of_era = y - era * 400;
    LONGLONG month = t.wMonth > 2 ? t.wMonth - 3 : t.wMonth + 9;
    LONGLONG day_of_year = (153 * month + 2) / 5 + t.wDay - 1;
    LONGLONG day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    LONGLONG days = era * 146097 + day_of_era - 719468 - 3652; // 1970 to 1980: 3652 days
    return ((days * 24 + t.wHour) * 60 + t.wMinute) * 60000 + t.wSecond * 1000LL + t.wMilliseconds;
}

void field_prepare(FieldSynth *field, const AcqSimMeasure &measure) {
    const bool stepped = measure.step > 0;
    field->grid = {measure.start / 2.0, stepped ? measure.step / 2.0 : 1.0,
                   stepped ? int(measure.points) : 1};
    field->shift_db = 10 * log10(600.0 / measure.impedance);
    field->stations.clear();
    add_stations(field, measure.seed);
    shape_bursts(field, measure.seed);
    shape_neighbour(field, measure.seed);
}

void field_events(UINT32 seed, LONGLONG local_ms, FieldEvents *events) {
    *events = FieldEvents{};
    LONGLONG second = std::max(LONGLONG(0), local_ms) / 1000;
    burst_at(seed, second, events);
    impulse_at(seed, second, events);
    interferer_at(seed, second, events);
    neighbour_at(seed, hour_of(local_ms), events);
}

// With a step of 0 one point is worked out and stands for all.
void field_record(const Synth &line, const FieldSynth &field, LONGLONG local_ms, INT16 *levels) {
    const AcqSimMeasure &m = line.measure;
    FieldEvents e;
    field_events(m.seed, local_ms, &e);
    const double hour = hour_of(local_ms), seconds = double(local_ms) / 1000;
    float rise[ACQSIM_MAX_POINTS], tone[ACQSIM_MAX_POINTS];
    fill_rise(field, e, hour, rise);
    fill_tones(field, m.seed, e, hour, seconds, tone);
    std::fill(rise + field.grid.points, rise + m.points, rise[0]);
    std::fill(tone + field.grid.points, tone + m.points, tone[0]);
    synth_levels(line, seconds, UINT64(local_ms), rise, tone, levels);
}

LONGLONG acqsim_local_ms(const SYSTEMTIME *t) {
    return t ? field_local_ms(*t) : 0;
}

BOOL acqsim_field_spectrum(const AcqSimMeasure *measure, LONGLONG local_ms, INT16 *levels) {
    if (!measure || !levels || !synth_valid(*measure)) return FALSE;
    Synth line;
    synth_prepare(&line, *measure);
    FieldSynth field;
    field_prepare(&field, *measure);
    field_record(line, field, local_ms, levels);
    return TRUE;
}

BOOL acqsim_field_events(UINT32 seed, LONGLONG local_ms, AcqSimFieldEvents *events) {
    if (!events) return FALSE;
    FieldEvents e;
    field_events(seed, local_ms, &e);
    *events =
        AcqSimFieldEvents{e.burst, e.impulse, e.interferer, DWORD(e.interferer_hz), e.neighbour};
    return TRUE;
}
