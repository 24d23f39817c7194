// The layer's wide formatting engine, with the Windows runtime's rules for wide printf:
// %s and %c take WCHAR text (%hs and %hc narrow), l is 32 bits, ll and I64 are 64 bits.
// Numbers come out exactly as the C runtime's snprintf writes them.
#pragma once

#include <stdarg.h>

#include "windef.h"

// Formats into dst, which holds `capacity` units including the terminator (capacity >= 1).
// The result is always terminated; text that does not fit is cut and *truncated is set.
// Returns the number of units stored before the terminator.
size_t format_wide(WCHAR *dst, size_t capacity, LPCWSTR format, va_list args, bool *truncated);
