// The test set-up dialog, run from the "DLG2" template in test mode.
#pragma once

#include <windows.h>

// Its keys beside Esc and "?".
constexpr int SETUP_ID_START = 101;
constexpr int SETUP_ID_DESTINATION = 102; // disabled field: where the result goes, how long
constexpr int SETUP_ID_NAME = 103;
constexpr int SETUP_ID_PRINT_SCREEN = 109;

// First buttons of the option grids; the entries of a table follow one by one.
constexpr int SETUP_FIRST_RANGE = 201;
constexpr int SETUP_FIRST_IMPED = 301;
constexpr int SETUP_FIRST_INPUT = 401;
constexpr int SETUP_FIRST_GAIN = 501;

// Bytes left free on every volume beside the result file.
constexpr LONGLONG SETUP_SPARE_BYTES = 16384;
// Bytes per point of 30 days of records (2 bytes a level, one record a second).
constexpr LONGLONG SETUP_BYTES_PER_POINT = 5184000;
// The result file never grows beyond this, whatever the points and the free space.
constexpr LONGLONG SETUP_FILE_LIMIT = 0x7FFF0000;
// Fewer records than this are not worth a test: the time counts as 0.
constexpr LONGLONG SETUP_MIN_RECORDS = 100;

INT_PTR CALLBACK setup_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The largest result file of a test with `points` levels a record before the free space is
// looked at: 30 days of records and the header, held to SETUP_FILE_LIMIT.
LONGLONG setup_file_limit(INT32 points);
// Whole minutes of recording that fit into max_file_size bytes (0 below SETUP_MIN_RECORDS).
int setup_test_minutes(LONGLONG max_file_size, INT32 points);
// The time part of the destination text: minutes below 3 hours, hours below 3 days, else days,
// the unit translated, and the closing bracket.
void setup_time_text(int minutes, WCHAR *out, size_t capacity);
// Splits a result path at its last backslash into directory and name (the whole path is both
// when it has none) and cuts the name at its last dot. Both buffers hold MAX_PATH characters.
void setup_split_path(const WCHAR *path, WCHAR *directory, WCHAR *name);
