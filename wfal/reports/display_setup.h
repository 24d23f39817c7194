// The display set-up dialog (level unit, black and white levels, find parameters) and the About
// box.
#pragma once

#include <windows.h>

// Its keys beside Esc and "?"; the About box has a command but no key.
constexpr int DISPLAY_ID_PRINT_SCREEN = 109;
constexpr int DISPLAY_ID_ABOUT = 111;
constexpr int DISPLAY_ID_USE = 407; // switches the change threshold on and off

// A value's key, its value field (key + 1) and its unit field (key + 2).
constexpr int DISPLAY_ID_WHITE = 301;
constexpr int DISPLAY_ID_BLACK = 304;
constexpr int DISPLAY_ID_THRESHOLD = 401;
constexpr int DISPLAY_ID_CHANGE = 404;

// First buttons of the option grids; the entries of a table follow one by one.
constexpr int DISPLAY_FIRST_UNIT = 201;
constexpr int DISPLAY_FIRST_FIND_MODE = 410;

// Room for the About text, terminator included; longer translations are cut.
constexpr int DISPLAY_ABOUT_CHARS = 512;

// Run from the "DLG2" template; ends with 0.
INT_PTR CALLBACK display_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// The About text in the run's language: the module's description, its name, and its version.
void display_about_text(WCHAR *text, size_t capacity);
