// Find: one forward pass over the result file from the time cursor, comparing each record with
// the one before it. The file is read in large blocks of records, and the pairs of a block are
// compared as one long run of levels: level n of the block is paired with level n + points, the
// same point of the next record. Messages are pumped between the pairs exactly where a reader
// of one record at a time would pump them.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "module/state.h"
#include "spectrogram/find.h"
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

// The open file and the block buffer of one search. Slot 0 holds the record carried over from
// the block before; the records after it were read together, often past several pumps. That
// gives what a record-by-record reader would see after those pumps, because a record that is in
// the file never changes (a recording only appends); only the end of the file can move during a
// pump, so after a read that ended early it is looked for again if messages were pumped since.
struct FindReader {
    FILE *file;
    INT16 *records;
    int points;
    int record_size;
    int slots;       // records the buffer holds
    int base;        // index of the record in slot 0
    int held;        // records in the buffer
    BOOL short_read; // the last read ended early: at the end of the file, or failed
    BOOL pumped;     // messages were pumped since the last read
};

// Reads up to `count` whole records into the buffer from slot `slot`; a failed read counts as
// the end of the file. A partial record at the end is not counted.
int reader_fill(FindReader *r, int slot, int count) {
    int got =
        int(fread(r->records + slot * r->points, size_t(r->record_size), size_t(count), r->file));
    r->short_read = got < count;
    r->pumped = FALSE;
    r->held = slot + got;
    return got;
}

// Carries the last record held over to slot 0 and reads the next block after it. A short read
// may have left the stream inside a partial record, so the next read starts with a seek.
int reader_next(FindReader *r) {
    memcpy(r->records, r->records + (r->held - 1) * r->points, size_t(r->record_size));
    r->base += r->held - 1;
    long next = long(wfal.view.data_offset) + long(r->base + 1) * long(r->record_size);
    if (r->short_read && fseek(r->file, next, SEEK_SET) != 0) return 0;
    return reader_fill(r, 1, r->slots - 1);
}

void find_enable_windows(BOOL graph_and_view, BOOL left, BOOL right) {
    EnableWindow(GetDlgItem(wfal.main_dialog, ID_GRAPH), graph_and_view);
    EnableWindow(GetDlgItem(wfal.main_dialog, ID_SPECTROGRAM), graph_and_view);
    EnableWindow(GetDlgItem(wfal.main_dialog, ID_MARKER_LEFT), left);
    EnableWindow(GetDlgItem(wfal.main_dialog, ID_MARKER_RIGHT), right);
}

void find_start() {
    wfal.run_state |= RUN_FINDING;
    wfal.stop_pressed = FALSE;
    soft_key_refresh();
    find_enable_windows(FALSE, FALSE, FALSE);
}

void find_end() {
    wfal.run_state &= ~RUN_FINDING;
    soft_key_refresh();
    const ViewState &v = wfal.view;
    find_enable_windows(TRUE, v.marker_point != 0, v.marker_point < v.points - 1);
}

// The pairs from the cursor record on, in order, with messages pumped before the pair whose
// later record's index is a multiple of 300 (never before the first pair). Returns the found
// record, or -1.
int find_search(FindReader *r, const FindTest &test) {
    const int cursor = wfal.view.cursor_record;
    int pump_at = ((cursor + 1) / FIND_PUMP_RECORDS + 1) * FIND_PUMP_RECORDS;
    int first = 0; // slot of the earlier record of the next pair
    for (;;) {
        const int pump_slot = pump_at - r->base;
        const int end = pump_slot < r->held ? pump_slot : r->held;
        const int k = find_scan(r->records + first * r->points, end - first, r->points, &test);
        if (k != 0) return r->base + first + k;
        if (pump_slot <= r->held) {
            pump_messages();
            if (wfal.stop_pressed) return -1;
            pump_at += FIND_PUMP_RECORDS;
            r->pumped = TRUE;
        }
        if (pump_slot < r->held) {
            first = pump_slot - 1;
        } else {
            if (r->short_read && !r->pumped) return -1;
            if (reader_next(r) == 0) return -1;
            first = 0;
        }
    }
}

// Opens the file and reads the cursor record with a block of records after it. Returns how
// many records it holds; 0 when there is nothing to search from.
int find_open(FindReader *r) {
    const ViewState &v = wfal.view;
    r->file = _wfopen(wfal.result_path, TEXT("rb"));
    if (r->file == NULL) return 0;
    r->slots = 1 + FIND_BLOCK_BYTES / v.record_size;
    r->records = (INT16 *)malloc(size_t(r->slots) * size_t(v.record_size));
    r->base = v.cursor_record;
    long offset = long(v.data_offset) + long(v.cursor_record) * long(v.record_size);
    if (r->records == NULL || fseek(r->file, offset, SEEK_SET) != 0) return 0;
    return reader_fill(r, 0, r->slots);
}

void find_close(FindReader *r) {
    if (r->file != NULL) fclose(r->file);
    free(r->records);
}

} // namespace

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

BOOL find_run() {
    const ViewState &v = wfal.view;
    FindTest test;
    if (!find_prepare(&wfal.find, v.points, &test) || v.points > VIEW_MAX_POINTS ||
        v.record_size != 2 * v.points || v.cursor_record < 0)
        return FALSE;
    FindReader reader = {};
    reader.points = v.points;
    reader.record_size = v.record_size;
    if (find_open(&reader) < 1) {
        find_close(&reader);
        return FALSE;
    }
    find_start();
    const int found = find_search(&reader, test);
    find_close(&reader);
    if (found >= 0) {
        wfal.view.cursor_record = found;
        wfal.view.follow_cursor = TRUE;
    }
    find_end();
    return found >= 0;
}
