// The main spectrogram dialog, run from the "DLG1" template: creation parameter 0 views
// result_path, 1 records a test.
#pragma once

#include <windows.h>

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
