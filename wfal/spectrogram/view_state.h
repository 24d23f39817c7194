// The module-wide record of the spectrogram view and of the spectrum at the time cursor. The
// navigation code clears and fills it; the window, the readout and the side dialogs read it.
#pragma once

#include <windows.h>

// mode
constexpr int VIEW_EMPTY = 0; // nothing loaded: the window is white
constexpr int VIEW_STILL = 1; // a viewer, a stopped or a frozen test: scrolling and touches work
constexpr int VIEW_LIVE = 2;  // a recording test: every repaint brings the newest record into view

// Margins around the picture, in pixels; the right one holds the time text and the legend.
constexpr int VIEW_MARGIN_LEFT = 40;
constexpr int VIEW_MARGIN_TOP = 1;
constexpr int VIEW_MARGIN_RIGHT = 99;
constexpr int VIEW_MARGIN_BOTTOM = 1;

constexpr int VIEW_MAX_POINTS = 800; // frequency points of a record, at most
constexpr int VIEW_UNIT_CHARS = 16;
constexpr int VIEW_TIME_CHARS = 500;

struct ViewState {
    int mode; // VIEW_EMPTY, VIEW_STILL or VIEW_LIVE
    int margin_left;
    int margin_top;
    int margin_right;
    int margin_bottom;
    int points;                      // frequency points per record, from the result header
    int top_record;                  // record drawn in the picture's top row
    int record_size;                 // bytes per record: 2 x points
    int data_offset;                 // file offset of record 0: the header's header-size field
    int cursor_record;               // record at the time cursor
    int black_level;                 // drawn with colour 0; hundredths of a dB on the stored scale
    int white_level;                 // drawn with colour 223; same unit
    int level_offset;                // a shown level is the stored one minus this
    int follow_cursor;               // the next repaint must bring the time cursor into view
    int bandwidth_correction;        // hundredths of a dB, for the per-hertz level unit
    int marker_point;                // frequency point at the marker
    int frequency_divisor;           // 2000 (kHz) or 2000000 (MHz): divides half-hertz frequencies
    INT16 spectrum[VIEW_MAX_POINTS]; // the record at the time cursor
    WCHAR level_unit[VIEW_UNIT_CHARS];     // translated name of the level unit
    WCHAR time_text[VIEW_TIME_CHARS];      // drawn at the top of the right margin
    WCHAR frequency_unit[VIEW_UNIT_CHARS]; // translated name of the frequency unit
};
