// Conversions between the module's UTF-16 texts and the UTF-8 of the host's file names.
#pragma once

#include <string>

#include "windef.h"

// FALSE when `s` holds an unpaired surrogate, which no host file name can carry.
bool utf_to_utf8(const WCHAR *s, size_t count, std::string &out);
// Invalid bytes become U+FFFD.
std::u16string utf_from_utf8(const char *s);
// Windows compares names without regard to case; this folds the letters of ASCII and Latin-1,
// which is what the module's names and resource ids use.
WCHAR utf_fold(WCHAR c);
bool utf_equal_nocase(const WCHAR *a, size_t a_count, const WCHAR *b, size_t b_count);
