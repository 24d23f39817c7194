// The report of the test set-up of the shown result file.
#pragma once

#include <windows.h>

void report_fill_setup(HWND dialog);
