// Find: the next record after the time cursor in which the spectrum crosses the find
// threshold, or changes by the change threshold while above it.
#pragma once

#include <windows.h>

#include "module/settings.h"

constexpr int FIND_NO_CHANGE = -32768; // change threshold not in use
constexpr int FIND_ALL_POINTS = -1;

// Computed by view_update from the display settings on every call.
struct FindParams {
    int threshold;        // hundredths of a dB on the stored scale
    int change_threshold; // hundredths of a dB, or FIND_NO_CHANGE
    int point;            // the one point to test, or FIND_ALL_POINTS
};

constexpr int FIND_AT_MARKER = 1; // the display settings' find mode

// Find's parameters from the display settings, for levels shown as stored level - level_offset.
// The change threshold is a difference of levels, so it takes no offset.
FindParams find_params(const DisplaySettings &display, int level_offset, int marker_point);

// Searches from the record after the cursor to the end of the file, pumping messages every
// 300 records and ending early when "Stop" was pressed. On a hit sets the view's cursor_record
// and follow_cursor and returns TRUE.
BOOL find_run();

// Messages are pumped whenever the index of the later record of the pair reaches a multiple of
// this.
constexpr int FIND_PUMP_RECORDS = 300;

// How a pair of levels is tested.
constexpr int FIND_TEST_NEVER = 0;  // no pair can be found
constexpr int FIND_TEST_CROSS = 1;  // the lower level below the threshold, the higher above it
constexpr int FIND_TEST_CHANGE = 2; // |l - e| >= change and the higher level above the threshold
constexpr int FIND_TEST_ALWAYS = 3; // every pair is found

// FindParams turned into 16-bit values, so that levels are compared without widening.
struct FindTest {
    int kind;        // FIND_TEST_*
    INT16 threshold; // held to the 16-bit range
    UINT16 change;   // the change threshold, held to 0 .. 65535
    int point;       // the one point to test, or FIND_ALL_POINTS
};

// Prepares the test of a search over records of `points` levels. FALSE when the parameters
// name a point outside the record.
BOOL find_prepare(const FindParams *params, int points, FindTest *test);
// Compares the consecutive records of `records` (`count` records of `points` levels, one after
// the other) pairwise in order. Returns k + 1 for the first pair (k, k + 1) that finds its later
// record, or 0 when none does.
int find_scan(const INT16 *records, int count, int points, const FindTest *test);
// The first point at which the pair of records `early`, `late` (`points` levels each) is found,
// or -1 when none is.
int find_pair_point(const INT16 *early, const INT16 *late, int points, const FindTest *test);
