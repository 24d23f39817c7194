// Find: one forward pass over the result file from the time cursor, comparing each record with
// the one before it. The file is read a segment at a time: the records of the pairs between two
// pumps, which are compared as one long run of levels (level n of the segment is paired with
// level n + points, the same point of the next record). Messages are pumped between the
// segments, exactly where a reader of one record at a time would pump them.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "module/state.h"
#include "spectrogram/find.h"
#include "spectrogram/marker.h"
#include "spectrogram/view_update.h"
#include "test/main_dialog.h"

namespace {

// Levels compared between two checks for a hit: small enough that a hit stops the scan soon,
// large enough that the check costs little beside the comparisons.
constexpr int FIND_CHUNK = 512;

INT16 clamp16(int v) {
    return INT16(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// Both tests look at the lower and the higher level of the pair; their difference is |l - e|,
// which fits 16 bits unsigned.
inline bool pair_finds(INT16 e, INT16 l, const FindTest &t) {
    INT16 lo = l < e ? l : e, hi = l < e ? e : l;
    if (t.kind == FIND_TEST_CROSS) return lo < t.threshold && hi > t.threshold;
    if (t.kind == FIND_TEST_CHANGE)
        return UINT16(UINT16(hi) - UINT16(lo)) >= t.change && hi > t.threshold;
    return t.kind == FIND_TEST_ALWAYS;
}

// The chunk loops below have a fixed length and no branches so that they vectorise: every
// level of the chunk is compared and the results are or-ed together.
bool chunk_crosses(const INT16 *early, const INT16 *late, INT16 threshold) {
    INT16 hit = 0;
    for (int n = 0; n < FIND_CHUNK; ++n) {
        INT16 e = early[n], l = late[n];
        INT16 lo = l < e ? l : e, hi = l < e ? e : l;
        hit |= INT16(-INT16((lo < threshold) & (hi > threshold)));
    }
    return hit != 0;
}

bool chunk_changes(const INT16 *early, const INT16 *late, INT16 threshold, UINT16 change) {
    INT16 hit = 0;
    for (int n = 0; n < FIND_CHUNK; ++n) {
        INT16 e = early[n], l = late[n];
        INT16 lo = l < e ? l : e, hi = l < e ? e : l;
        hit |= INT16(-INT16((UINT16(UINT16(hi) - UINT16(lo)) >= change) & (hi > threshold)));
    }
    return hit != 0;
}

bool chunk_finds(const INT16 *early, const INT16 *late, const FindTest &t) {
    if (t.kind == FIND_TEST_CROSS) return chunk_crosses(early, late, t.threshold);
    if (t.kind == FIND_TEST_CHANGE) return chunk_changes(early, late, t.threshold, t.change);
    return t.kind == FIND_TEST_ALWAYS;
}

// The first of levels [from, to) that finds its pair, as the index of the later record; 0 if
// none does.
int first_finding(const INT16 *records, int from, int to, int points, const FindTest &t) {
    for (int n = from; n < to; ++n) {
        if (pair_finds(records[n], records[n + points], t)) return n / points + 1;
    }
    return 0;
}

// All points: `levels` levels of earlier records against the levels `points` further on. The
// last chunk is moved back to end at the last level; the levels it shares with the chunk before
// found nothing, so its first finding level is still the first of the whole run.
int scan_all_points(const INT16 *records, int levels, int points, const FindTest &t) {
    if (levels < FIND_CHUNK) return first_finding(records, 0, levels, points, t);
    for (int start = 0; start < levels; start += FIND_CHUNK) {
        if (start > levels - FIND_CHUNK) start = levels - FIND_CHUNK;
        if (!chunk_finds(records + start, records + start + points, t)) continue;
        const int k = first_finding(records, start, start + FIND_CHUNK, points, t);
        if (k != 0) return k;
    }
    return 0;
}

int scan_one_point(const INT16 *records, int count, int points, const FindTest &t) {
    const INT16 *level = records + t.point;
    for (int k = 1; k < count; ++k) {
        if (pair_finds(level[0], level[points], t)) return k;
        level += points;
    }
    return 0;
}

// One pump interval's records, read together: the earlier record of the interval's first pair,
// then the later records up to the next pump. Records appended during a pump are in the file
// when the segment after it is read. The file is read straight on after one seek to the cursor
// record (a seek offset is a 32-bit long on the instrument): the last record of a segment is
// kept as the first of the next.
struct Segment {
    FILE *file;
    INT16 *records; // room for FIND_PUMP_RECORDS + 1 records
    LONGLONG first; // index of records[0]
    LONGLONG end;   // the record before which messages are pumped
    int count;      // whole records held
};

// Reads the rest of the segment after the `held` records it holds. A failed read, or a partial
// record at the end, counts as the end of the file.
void segment_fill(Segment *s, int held) {
    const ViewState &v = wfal.view;
    const size_t wanted = size_t(s->end - s->first - held);
    const size_t got = fread(s->records + held * v.points, size_t(v.record_size), wanted, s->file);
    s->count = held + int(got);
}

// The first segment starts at the cursor record. Its first pair never pumps, even when the later
// record's index is a multiple of 300.
void segment_first(Segment *s) {
    const ViewState &v = wfal.view;
    s->first = v.cursor_record;
    s->end = ((s->first + 1) / FIND_PUMP_RECORDS + 1) * FIND_PUMP_RECORDS;
    s->count = 0;
    const LONGLONG offset = LONGLONG(v.data_offset) + s->first * v.record_size;
    if (fseek(s->file, long(offset), SEEK_SET) == 0) segment_fill(s, 0);
}

void segment_next(Segment *s) {
    const ViewState &v = wfal.view;
    memcpy(s->records, s->records + (s->count - 1) * v.points, size_t(v.record_size));
    s->first = s->end - 1;
    s->end += FIND_PUMP_RECORDS;
    segment_fill(s, 1);
}

// While Find runs, the graph, the spectrogram and the marker keys take no touch.
void find_enable_windows(BOOL enable) {
    main_item_enable(ID_GRAPH, enable);
    main_item_enable(ID_SPECTROGRAM, enable);
    marker_enable_keys(enable);
}

void find_start() {
    wfal.run_state |= RUN_FINDING;
    wfal.stop_pressed = FALSE;
    soft_key_refresh();
    find_enable_windows(FALSE);
}

void find_end() {
    wfal.run_state &= ~RUN_FINDING;
    soft_key_refresh();
    find_enable_windows(TRUE);
}

// The pairs from the cursor record on, in order, a segment at a time with messages pumped
// between the segments. Returns the found record, or -1.
LONGLONG find_search(Segment *s, const FindTest &test) {
    for (;;) {
        const int k = find_scan(s->records, s->count, wfal.view.points, &test);
        if (k != 0) return s->first + k;
        if (s->count < s->end - s->first) return -1; // the file ended inside the segment
        pump_messages();
        if (wfal.stop_pressed) return -1;
        segment_next(s);
    }
}

// Opens the file and reads the first segment; FALSE when it holds no record to search from.
BOOL find_open(Segment *s) {
    const size_t bytes = size_t(FIND_PUMP_RECORDS + 1) * size_t(wfal.view.record_size);
    s->file = _wfopen(wfal.result_path, TEXT("rb"));
    s->records = (INT16 *)malloc(bytes);
    if (s->file == NULL || s->records == NULL) return FALSE;
    // Each segment is read whole into the buffer; through a stream buffer each read would end
    // with a second, small one.
    setvbuf(s->file, NULL, _IONBF, 0);
    segment_first(s);
    return s->count > 0;
}

void find_close(Segment *s) {
    if (s->file != NULL) fclose(s->file);
    free(s->records);
}

} // namespace

FindParams find_params(const DisplaySettings &d, int level_offset, int marker_point) {
    FindParams f;
    f.threshold = level_offset + 100 * d.find_threshold;
    f.change_threshold = d.change_threshold_on ? 100 * d.change_threshold : FIND_NO_CHANGE;
    f.point = d.find_mode == FIND_AT_MARKER ? marker_point : FIND_ALL_POINTS;
    return f;
}

BOOL find_prepare(const FindParams *params, int points, FindTest *test) {
    if (points < 1 || params->point >= points || params->point < FIND_ALL_POINTS) return FALSE;
    const int t = params->threshold;
    const int c = params->change_threshold;
    test->point = params->point;
    test->threshold = clamp16(t);
    test->change = UINT16(c <= 0 ? 0 : c > 65535 ? 65535 : c);
    // Held to 16 bits, "above" misses only a threshold below -32768 with both levels -32768:
    // their distance 0 counts only when the change threshold is 0 or less, and then every
    // pair is found. No level lies above 32767, and no distance exceeds 65535.
    if (c == FIND_NO_CHANGE)
        test->kind = FIND_TEST_CROSS;
    else if (t >= 32767 || c > 65535)
        test->kind = FIND_TEST_NEVER;
    else if (t < -32768 && c <= 0)
        test->kind = FIND_TEST_ALWAYS;
    else
        test->kind = FIND_TEST_CHANGE;
    return TRUE;
}

int find_scan(const INT16 *records, int count, int points, const FindTest *test) {
    if (count < 2) return 0;
    if (test->point >= 0) return scan_one_point(records, count, points, *test);
    return scan_all_points(records, (count - 1) * points, points, *test);
}

int find_pair_point(const INT16 *early, const INT16 *late, int points, const FindTest *test) {
    const int from = test->point >= 0 ? test->point : 0;
    const int to = test->point >= 0 ? test->point + 1 : points;
    for (int p = from; p < to && p < points; ++p)
        if (pair_finds(early[p], late[p], *test)) return p;
    return -1;
}

BOOL find_run() {
    const ViewState &v = wfal.view;
    FindTest test;
    if (!find_prepare(&wfal.find, v.points, &test) || v.points > VIEW_MAX_POINTS ||
        v.record_size != 2 * v.points || v.cursor_record < 0)
        return FALSE;
    Segment segment = {};
    if (!find_open(&segment)) {
        find_close(&segment);
        return FALSE;
    }
    find_start();
    const LONGLONG found = find_search(&segment, test);
    find_close(&segment);
    if (found >= 0) {
        wfal.view.cursor_record = int(found);
        wfal.view.follow_cursor = TRUE;
    }
    find_end();
    return found >= 0;
}
