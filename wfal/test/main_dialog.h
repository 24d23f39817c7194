// The main spectrogram dialog, run from the "DLG1" template: creation parameter 0 views
// result_path, 1 records a test.
#pragma once

#include <windows.h>

// Its controls.
constexpr int ID_SPLITTER = 201;
constexpr int ID_GRAPH = 202;
constexpr int ID_SPECTROGRAM = 203;
constexpr int ID_SPLIT = 101;        // cycles the split between graph and spectrogram
constexpr int ID_MARKER_LEFT = 102;  // "˂"
constexpr int ID_MARKER_RIGHT = 103; // "˃"
constexpr int ID_LINE_UP = 104;      // "˄"
constexpr int ID_LINE_DOWN = 105;    // "˅"
constexpr int ID_TOP = 106;
constexpr int ID_PAGE_UP = 107;
constexpr int ID_PAGE_DOWN = 108;
constexpr int ID_PRINT_SCREEN = 109;
constexpr int ID_LIST = 110;
constexpr int ID_SETUP = 111;
constexpr int ID_DISPLAY = 112;
constexpr int ID_FIND = 113;
constexpr int ID_FREEZE = 114;
constexpr int ID_STOP = 115;

// The dialog's creation parameter.
constexpr LPARAM MAIN_VIEW_FILE = 0; // views result_path
constexpr LPARAM MAIN_RUN_TEST = 1;  // records a test into result_path

// Timer 1 paces the recording and the key repeat.
constexpr UINT_PTR MAIN_TIMER = 1;
constexpr UINT MAIN_TIMER_MS = 250;
// Where the first split puts the splitter; also what the split cycle returns to.
constexpr int MAIN_FIRST_SPLIT = 176;
// view_layout's "keep the splitter where it is".
constexpr int VIEW_LAYOUT_KEEP = 0x7FFFFFFF;

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Enables the keys by run_state and gives Stop and Freeze their looks; ends with
// view_enable_keys. Called after every change of run_state.
void soft_key_refresh();
// Places graph, splitter and spectrogram with the splitter's top at y (held to 0 .. H - 4;
// VIEW_LAYOUT_KEEP keeps its current top), repaints them and updates the navigation keys.
void view_layout(int y);
// Clears the view and opens result_path for viewing; FALSE (after "Unknown file.") when the
// header is refused.
BOOL open_result();

// A control of the main dialog; NULL while the dialog does not exist.
HWND main_item(int id);
// Enables (non-zero) or disables a control of the main dialog.
void main_item_enable(int id, BOOL enable);
