// The "splt" bar between the spectrum graph and the spectrogram. Dragging it reports each new
// top position to the parent dialog, whose layout then moves the bar with the two views.
#pragma once

#include <windows.h>

constexpr const WCHAR *SPLITTER_CLASS = TEXT("splt");
constexpr COLORREF SPLITTER_COLOUR = 0xD0D0D0; // the bar's face: its class background
// Sent to the parent while dragging: lParam is the bar's new top in the parent's client
// coordinates (may be negative or beyond the parent; the parent clamps it).
constexpr UINT SPLITTER_MOVED = WM_USER + 2;

LRESULT CALLBACK splitter_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
