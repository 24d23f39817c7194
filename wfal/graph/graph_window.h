// The "graph" window: the spectrum graph of the main dialog.
#pragma once

#include <windows.h>

constexpr const WCHAR *GRAPH_CLASS = TEXT("graph");

LRESULT CALLBACK graph_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
