// The "wfaw" window: the spectrogram view of the main dialog.
#pragma once

#include <windows.h>

constexpr const WCHAR *SPECTROGRAM_CLASS = TEXT("wfaw");
// wParam: the signed number of records to move the time cursor by (still view only).
constexpr UINT VIEW_MOVE_CURSOR = WM_USER + 1;

LRESULT CALLBACK spectrogram_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
