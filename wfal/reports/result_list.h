// The spectrum at the time cursor as a list of frequencies and levels.
#pragma once

#include <windows.h>

void report_fill_list(HWND dialog);
