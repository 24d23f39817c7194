// The layer's text codec (declared in winlayer.h with its policy for malformed input) under the
// short names its callers inside the layer use, and case-blind name comparison.
#pragma once

#include <string>

#include "winlayer.h"

// Strict: FALSE when `s` holds a lone surrogate, which no host file name can carry.
inline bool utf_to_utf8(const WCHAR *s, size_t count, std::string &out) {
    return wl_utf8_from_utf16_strict(s, count, &out) != FALSE;
}
// A terminated UTF-8 text; malformed bytes become U+FFFD.
inline std::u16string utf_from_utf8(const char *s) {
    return wl_utf16_from_utf8(s, WL_TEXT_TERMINATED);
}
// Windows compares names without regard to case; this folds the letters of ASCII and Latin-1,
// which is what the module's names and resource ids use.
WCHAR utf_fold(WCHAR c);
bool utf_equal_nocase(const WCHAR *a, size_t a_count, const WCHAR *b, size_t b_count);
