// Every change of what the spectrogram and the spectrum graph show goes through view_update, so
// the display levels, the find parameters, the cursor record, the graph, the time text and the
// keys can never disagree with each other.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <strsafe.h>

#include "module/state.h"
#include "spectrogram/find.h"
#include "spectrogram/level_offset.h"
#include "spectrogram/marker.h"
#include "spectrogram/spectrogram_window.h"
#include "spectrogram/spectrum_graph.h"
#include "spectrogram/view_geometry.h"
#include "spectrogram/view_update.h"
#include "test/main_dialog.h"

namespace {

constexpr int KHZ_RANGE_LIMIT = 100000; // ranges from here on are shown in MHz
constexpr int KHZ_DIVISOR = 2000;       // half-hertz per kHz
constexpr int MHZ_DIVISOR = 2000000;    // half-hertz per MHz
constexpr int NAVIGATION_KEYS[] = {ID_LINE_UP,   ID_PAGE_UP,   ID_TOP,
                                   ID_LINE_DOWN, ID_PAGE_DOWN, ID_FIND};
constexpr int VIEWS[] = {ID_GRAPH, ID_SPECTROGRAM};

int record_count() {
    return view_record_count(wfal.view, wfal.file_size);
}

int last_record() {
    const int n = record_count();
    return n > 0 ? n - 1 : 0;
}

void set_frequency_unit(ViewState &v, int range) {
    const WCHAR *key = range < KHZ_RANGE_LIMIT ? TEXT("kHz") : TEXT("MHz");
    v.frequency_divisor = range < KHZ_RANGE_LIMIT ? KHZ_DIVISOR : MHZ_DIVISOR;
    StringCchCopyW(v.frequency_unit, VIEW_UNIT_CHARS, lang_lookup(key));
}

void set_start_seconds(const ResultHeader &h) {
    wfal.start_seconds = calendar_set(h.start_year, h.start_month, h.start_day, h.start_hour,
                                      h.start_minute, h.start_second);
}

void view_initialise() {
    ViewState &v = wfal.view;
    const ResultHeader &h = wfal.header;
    memset(&v, 0, sizeof v);
    v.bandwidth_correction = level_bandwidth_correction(h.frequency_step);
    v.margin_left = VIEW_MARGIN_LEFT;
    v.margin_top = VIEW_MARGIN_TOP;
    v.margin_right = VIEW_MARGIN_RIGHT;
    v.margin_bottom = VIEW_MARGIN_BOTTOM;
    v.points = h.points;
    v.record_size = 2 * h.points;
    v.data_offset = h.header_size;
    set_frequency_unit(v, h.range);
    set_start_seconds(h);
}

void set_whole_file_section() {
    wfal.section_header = wfal.header;
    wfal.section_start = 0;
    wfal.section_end = last_record();
}

void compute_levels() {
    ViewState &v = wfal.view;
    const DisplaySettings &d = wfal.display;
    StringCchCopyW(v.level_unit, VIEW_UNIT_CHARS, choice_label(choice_level_unit, d.level_unit));
    v.level_offset = level_offset(d.level_unit, v.bandwidth_correction, wfal.header.impedance);
    v.black_level = v.level_offset + 100 * d.black_level;
    v.white_level = v.level_offset + 100 * d.white_level;
}

void compute_find_params() {
    const ViewState &v = wfal.view;
    wfal.find = find_params(wfal.display, v.level_offset, v.marker_point);
}

bool holds_a_record() {
    const ViewState &v = wfal.view;
    return v.record_size > 0 && wfal.file_size >= (LONGLONG)v.data_offset + v.record_size;
}

// The cursor and scroll keys are the spectrogram window's to carry out.
bool forward_key(int request) {
    const HWND spectrogram = main_item(ID_SPECTROGRAM);
    switch (request) {
    case VIEW_LINE_UP: SendMessageW(spectrogram, VIEW_MOVE_CURSOR, (WPARAM)(INT_PTR)-1, 0); break;
    case VIEW_LINE_DOWN: SendMessageW(spectrogram, VIEW_MOVE_CURSOR, 1, 0); break;
    case VIEW_PAGE_UP: SendMessageW(spectrogram, WM_VSCROLL, SB_PAGEUP, 0); break;
    case VIEW_PAGE_DOWN: SendMessageW(spectrogram, WM_VSCROLL, SB_PAGEDOWN, 0); break;
    default: return false;
    }
    return true;
}

// Top and Find move the cursor and go on as a still request; false when there is nothing to do.
bool navigate(int request) {
    ViewState &v = wfal.view;
    if (request == VIEW_FIND) return find_run() != FALSE;
    if (v.top_record == 0 && v.cursor_record == 0) return false;
    v.top_record = 0;
    v.cursor_record = 0;
    return true;
}

// Read whole into a buffer first: a short read (a record being written) leaves the spectrum as
// it was.
void read_cursor_record(FILE *file) {
    ViewState &v = wfal.view;
    INT16 record[VIEW_MAX_POINTS];
    const size_t size = (size_t)v.record_size;
    if (v.record_size <= 0 || size > sizeof record) return;
    const LONGLONG offset = (LONGLONG)v.data_offset + (LONGLONG)v.cursor_record * v.record_size;
    if (fseek(file, (long)offset, SEEK_SET) != 0) return;
    if (fread(record, 1, size, file) != size) return;
    memcpy(v.spectrum, record, size);
}

// A running test's newest record comes through the stream that stays open while it records;
// false when the file can't be opened and the call must end.
bool load_cursor_record(int request) {
    ViewState &v = wfal.view;
    if (request == VIEW_STARTED || request == VIEW_DISPLAY) return true;
    if (request == VIEW_NEW_RECORD) {
        v.cursor_record = last_record();
        v.follow_cursor = 1;
        if (wfal.view_file) read_cursor_record(wfal.view_file);
        return true;
    }
    FILE *file = _wfopen(wfal.result_path, TEXT("rb"));
    if (!file) return false;
    read_cursor_record(file);
    fclose(file);
    return true;
}

void write_time_text() {
    ViewState &v = wfal.view;
    CalendarFields &c = wfal.calendar;
    c.seconds = wfal.start_seconds + (DWORD)v.cursor_record;
    seconds_to_calendar();
    StringCchPrintfW(v.time_text, VIEW_TIME_CHARS,
                     TEXT("%.16s\n%.16s:\n%02d/%02d/%04d\n%02d:%02d:%02d"),
                     lang_lookup(TEXT("Spectrogram")), lang_lookup(TEXT("Marker")), c.month, c.day,
                     c.year, c.hour, c.minute, c.second);
}

// A repaint reads every visible record from the file: a recording test repaints only on every
// third record, and a cursor move is drawn by the window itself.
bool repaints(int request) {
    if (request == VIEW_NEW_RECORD) return record_count() % 3 == 0;
    return request == VIEW_OPENED || request == VIEW_STILL_MODE || request == VIEW_DISPLAY;
}

bool shows_records(int request) {
    return request >= VIEW_OPENED && request <= VIEW_DISPLAY;
}

} // namespace

void view_update(int request) {
    if (request == VIEW_OPENED || request == VIEW_STARTED) view_initialise();
    if (request == VIEW_OPENED || request == VIEW_STILL_MODE) set_whole_file_section();
    compute_levels();
    compute_find_params();
    if (!holds_a_record() || forward_key(request)) return;
    if (request == VIEW_TOP || request == VIEW_FIND) {
        if (!navigate(request)) return;
        request = VIEW_STILL_MODE;
    }
    if (!shows_records(request)) return;
    ViewState &v = wfal.view;
    const bool live = request == VIEW_STARTED || request == VIEW_NEW_RECORD;
    v.mode = live ? VIEW_LIVE : VIEW_STILL;
    if (!load_cursor_record(request)) return;
    graph_refresh();
    write_time_text();
    view_enable_keys();
    if (repaints(request)) RedrawWindow(main_item(ID_SPECTROGRAM), NULL, NULL, RDW_INVALIDATE);
}

void view_enable_keys() {
    const int run = wfal.run_state;
    const bool recording = (run & RUN_TESTING) && !(run & RUN_FROZEN);
    if (run == 0 || recording || (run & RUN_FINDING)) {
        for (int id : NAVIGATION_KEYS)
            main_item_enable(id, FALSE);
        return;
    }
    const ViewState &v = wfal.view;
    if (v.mode == VIEW_EMPTY) return;
    RECT client = {0, 0, 0, 0};
    GetClientRect(main_item(ID_SPECTROGRAM), &client);
    const int ph = view_picture(v, client).height;
    const int n = record_count();
    main_item_enable(ID_LINE_UP, v.cursor_record != 0);
    main_item_enable(ID_LINE_DOWN, v.cursor_record < n - 1);
    main_item_enable(ID_TOP, v.cursor_record != 0 || v.top_record != 0);
    main_item_enable(ID_PAGE_UP, ph > 1 && v.top_record != 0);
    main_item_enable(ID_PAGE_DOWN, ph > 1 && (LONGLONG)v.top_record + ph < n);
    main_item_enable(ID_FIND, TRUE);
}

void view_clear() {
    memset(wfal.graph, 0, sizeof wfal.graph);
    memset(&wfal.view, 0, sizeof wfal.view);
    for (int id : VIEWS) {
        const HWND item = main_item(id);
        if (item) InvalidateRect(item, NULL, TRUE);
    }
}

void pump_messages() {
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
