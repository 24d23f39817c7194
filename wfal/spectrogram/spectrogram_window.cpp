// The "wfaw" window.
// TO BE FILLED: the spectrogram rendering and its window come with the spectrogram's own work;
// until then the class exists so that the main dialog's control table can be built, and the
// window does what the default procedure does.
#include <windows.h>

#include "spectrogram/spectrogram_window.h"

LRESULT CALLBACK spectrogram_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
}
