// The test set-up dialog, run from the "DLG2" template in test mode.
#pragma once

#include <windows.h>

INT_PTR CALLBACK setup_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
