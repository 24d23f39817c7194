// The acquisition run. The result file of a test stays open twice while it records: the write
// handle appends one record per second of the engine's results, each record flushed at once so
// that a failure loses nothing already accounted, and the read handle lets the view load the
// newest record without reopening the file.
#include <windows.h>
#include <stdio.h>

#include <acq.h>

#include "lang/lang.h"
#include "module/calendar.h"
#include "module/engine.h"
#include "module/state.h"
#include "resultfile/result_header.h"
#include "spectrogram/view_update.h"
#include "test/acquisition.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

// The high-impedance probe attenuates by 15 dB; its levels are raised by that much on the way
// into the file.
constexpr INT16 PROBE_CORRECTION = 1500;
// Results taken in one tick, at most: far more than the engine can hold, so a backlog always
// drains, but an engine that never stops answering can't hold the dialog's thread.
constexpr int TICK_FETCH_LIMIT = 65536;

// One result buffer for the run: 4 KB is better kept off the stack.
EngineResult tick_result;

// Caption and text in the chosen language.
void show_box(const WCHAR *caption_key, const WCHAR *text_key) {
    host_call(wfal.main_dialog, HOST_MESSAGE_BOX, (INT_PTR)lang_lookup(caption_key),
              (INT_PTR)lang_lookup(text_key), HOST_MB_ERROR);
}

// The header must be on the storage before the first record follows it.
FILE *create_with_header(const WCHAR *path) {
    FILE *file = _wfopen(path, TEXT("wb"));
    if (!file) return NULL;
    if (fwrite(&wfal.header, sizeof wfal.header, 1, file) != 1 || fflush(file) != 0) {
        fclose(file);
        return NULL;
    }
    return file;
}

// The read handle must see exactly the header: the record count is taken from the size.
FILE *open_for_view(const WCHAR *path) {
    FILE *file = _wfopen(path, TEXT("rb"));
    if (!file) return NULL;
    if (fseek(file, 0, SEEK_END) != 0 || ftell(file) != RESULT_HEADER_SIZE) {
        fclose(file);
        return NULL;
    }
    return file;
}

// Both handles or neither. A header whose records the view could not read is not recorded.
BOOL create_result_file() {
    if (!header_accepted(wfal.header)) return FALSE;
    FILE *record = create_with_header(wfal.result_path);
    if (!record) return FALSE;
    FILE *view = open_for_view(wfal.result_path);
    if (!view) {
        fclose(record);
        return FALSE;
    }
    wfal.record_file = record;
    wfal.view_file = view;
    wfal.file_size = RESULT_HEADER_SIZE;
    return TRUE;
}

// Calendar seconds of the local time now.
DWORD now_seconds() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return calendar_set(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

BOOL result_is_current(const EngineResult &r) {
    return r.code == RESULT_MEASURE && (WORD)r.body.measure.sequence == wfal.command_sequence;
}

// At most one record per whole second since the start. A clock set back before the start makes
// the difference wrap to a huge number: then every result is written.
BOOL record_due() {
    DWORD elapsed = now_seconds() - wfal.start_seconds;
    return (ULONGLONG)elapsed > (ULONGLONG)result_record_count(wfal.file_size, wfal.header);
}

void probe_correct(INT16 *levels, int points) {
    for (int k = 0; k < points; k++)
        levels[k] = (INT16)(WORD)((WORD)levels[k] + (WORD)PROBE_CORRECTION);
}

// One write of the whole record, then the flush; FALSE when either failed. The size grows only
// by a record the write took whole, so a short write leaves at most a partial record behind,
// which no reader counts. A record whose flush failed was taken whole and counts.
BOOL append_record(INT16 *levels) {
    int points = wfal.header.points;
    if (wfal.header.input == INPUT_PROBE) probe_correct(levels, points);
    size_t record_bytes = 2 * (size_t)points;
    if (fwrite(levels, record_bytes, 1, wfal.record_file) != 1) return FALSE;
    wfal.file_size += (LONGLONG)record_bytes;
    return fflush(wfal.record_file) == 0;
}

void stop_with(const WCHAR *caption_key, const WCHAR *text_key) {
    test_stop();
    show_box(caption_key, text_key);
}

} // namespace

// A new test starts from an empty graph and an empty spectrogram.
void test_start() {
    view_clear();
    if (!create_result_file()) {
        wfal.run_state = 0;
        soft_key_refresh();
        // The built-in text has no key with the two line feeds: it shows in English there.
        show_box(TEXT("Error"), TEXT("File write error.\n\nTest stopped."));
        return;
    }
    engine_start_measure();
    wfal.run_state = RUN_LOADED | RUN_TESTING;
    soft_key_refresh();
    view_update(VIEW_STARTED);
    host_call(wfal.main_dialog, HOST_TEST_RUNNING, 0, 0, 1);
}

BOOL acquisition_tick() {
    if (!(wfal.run_state & RUN_TESTING)) return FALSE;
    BOOL written = FALSE;
    for (int fetched = 0; fetched < TICK_FETCH_LIMIT; fetched++) {
        if (!acqres(&tick_result)) break;
        if (!result_is_current(tick_result) || !record_due()) continue;
        if (!append_record(tick_result.body.measure.levels)) {
            stop_with(TEXT("Error"), TEXT("File write error.\nTest stopped."));
            return FALSE;
        }
        written = TRUE;
        if (wfal.file_size > wfal.max_file_size) {
            stop_with(TEXT("Warning"), TEXT("Max test time reached.\nTest stopped."));
            return FALSE;
        }
    }
    return written;
}

void test_stop() {
    if (!(wfal.run_state & RUN_TESTING)) return;
    if (wfal.record_file) fclose(wfal.record_file);
    if (wfal.view_file) fclose(wfal.view_file);
    wfal.record_file = NULL;
    wfal.view_file = NULL;
    engine_stop();
    wfal.run_state = RUN_LOADED;
    soft_key_refresh();
    view_update(VIEW_STILL_MODE);
    host_call(wfal.main_dialog, HOST_TEST_RUNNING, 0, 0, 0);
}

void freeze_toggle() {
    if (!(wfal.run_state & RUN_TESTING)) return;
    if (wfal.run_state & RUN_FROZEN) {
        wfal.run_state &= ~RUN_FROZEN;
        view_update(VIEW_NEW_RECORD);
    } else {
        wfal.run_state |= RUN_FROZEN;
        view_update(VIEW_STILL_MODE);
    }
    soft_key_refresh();
}
