// What the synthetic spectra are drawn from: counter-based hashes (every random value is a hash
// of what it belongs to, so no value depends on which were drawn before it), smooth wandering
// values, and the spread of a tone over the points of a measurement.
#pragma once

#include <math.h>

#include <windows.h>

namespace synth {

constexpr UINT64 K1 = 0x9e3779b97f4a7c15ULL;
constexpr UINT64 K2 = 0xc2b2ae3d27d4eb4fULL;
constexpr double PI = 3.14159265358979323846;

inline UINT64 mix(UINT64 x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

inline UINT64 hash3(UINT64 a, UINT64 b, UINT64 c) {
    return mix(mix(a ^ (b * K1)) ^ (c * K2));
}

// The hash stream of one kind of value (`key`) of one seed: streams never meet.
inline UINT64 stream(UINT32 seed, UINT64 key) {
    return (key << 32) | seed;
}

// The top 24 bits of a hash as a value in [0, 1).
inline double unit(UINT64 h) {
    return double(h >> 40) * (1.0 / 16777216.0);
}

// A value in [-1, 1] that wanders smoothly as x grows: hashed values at the integers of x,
// joined by a smoothstep.
inline double wander(UINT64 stream_key, UINT64 key, double x) {
    double whole = floor(x);
    double t = x - whole;
    UINT64 i = UINT64(whole);
    double a = 2 * unit(hash3(stream_key, key, i)) - 1;
    double b = 2 * unit(hash3(stream_key, key, i + 1)) - 1;
    return a + (b - a) * t * t * (3 - 2 * t);
}

struct Grid {
    double first_hz; // frequency of point 0
    double bin_hz;   // distance between points
    int points;
};

// A tone between two points shows mostly in the nearer one, a little less the further off it
// lies, and leaks into its neighbours: `raise(k, level)` for each of the three, those outside
// the grid left out.
template <class Raise>
void spread_tone(const Grid &grid, double hz, double level, Raise raise) {
    double pos = (hz - grid.first_hz) / grid.bin_hz;
    double k = floor(pos + 0.5);
    double off = pos - k;
    double side = off >= 0 ? 1 : -1;
    auto put = [&](double at, double db) {
        if (at >= 0 && at < grid.points) raise(size_t(at), db);
    };
    put(k, level - 12 * off * off);
    put(k + side, level - 30 + 40 * fabs(off));
    put(k - side, level - 30);
}

} // namespace synth
