// The "btn" control: the owner-drawn soft key, option button, label and value field of every
// dialog. It draws itself from a ControlStyle and sends WM_COMMAND to its parent when a press
// is released inside it.
#pragma once

#include <windows.h>

constexpr const WCHAR *BUTTON_CLASS = TEXT("btn");
// Four window words: pressed, look, up bitmap, down bitmap.
constexpr int BUTTON_WINDOW_BYTES = 4 * sizeof(LONG_PTR);

// lParam: the ControlStyle to draw with (may be null: the button then draws nothing).
constexpr UINT BTN_SET_LOOK = WM_USER;
// wParam, lParam: names of the bitmap resources of the up and down faces (either may be null).
constexpr UINT BTN_SET_BITMAPS = WM_USER + 1;

LRESULT CALLBACK button_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// Draws the button as its WM_PAINT does, on any DC: the face fills `update` (client
// coordinates), caption and edges are drawn whole. Nothing without a look.
void button_paint(HWND hwnd, HDC dc, const RECT &update);
