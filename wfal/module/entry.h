// The module's exported entry points, with C linkage (wfal.def names them).
#pragma once

#include <windows.h>

#include "module/host_services.h"

// Runs the module once, modally: a spectrogram test (test_mode non-zero) or a viewer of
// result_path. Returns 0 when its dialog has closed and everything is released.
extern "C" int wfalstart(HWND parent, HostService host, int test_mode, const WCHAR *result_path,
                         int memory_reserve, int language_number, const WCHAR *operator_name,
                         const WCHAR *settings_path, const WCHAR *language_path, int help_mask);
// Copies the version text "2.00" into a buffer of at least five characters.
extern "C" void wfalver(WCHAR *buffer);
