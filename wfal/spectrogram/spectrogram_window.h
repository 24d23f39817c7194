// The "wfaw" window: the spectrogram view of the main dialog.
#pragma once

#include <windows.h>

constexpr const WCHAR *SPECTROGRAM_CLASS = TEXT("wfaw");

LRESULT CALLBACK spectrogram_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
