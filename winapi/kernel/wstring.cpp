// The C runtime's wide-string functions for 16-bit WCHAR. glibc's versions work on 32-bit
// wchar_t, so these are overloads of their own, with the Windows runtime's behaviour.
#include <limits.h>

#include "wincrt.h"

size_t wcslen(const WCHAR *s) {
    const WCHAR *p = s;
    while (*p)
        ++p;
    return (size_t)(p - s);
}

// WCHAR is unsigned, so units above 0x7FFF order after ASCII, as on Windows.
int wcscmp(const WCHAR *a, const WCHAR *b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return (int)*a - (int)*b;
}

int wcsncmp(const WCHAR *a, const WCHAR *b, size_t n) {
    for (; n > 0; --n, ++a, ++b) {
        if (*a != *b) return (int)*a - (int)*b;
        if (!*a) return 0;
    }
    return 0;
}

WCHAR *wcscpy(WCHAR *dst, const WCHAR *src) {
    WCHAR *d = dst;
    while ((*d++ = *src++) != 0) {
    }
    return dst;
}

// Like the C runtime: no terminator when src is n units or longer, zero padding when shorter.
WCHAR *wcsncpy(WCHAR *dst, const WCHAR *src, size_t n) {
    size_t i = 0;
    for (; i < n && src[i]; ++i)
        dst[i] = src[i];
    for (; i < n; ++i)
        dst[i] = 0;
    return dst;
}

WCHAR *wcscat(WCHAR *dst, const WCHAR *src) {
    wcscpy(dst + wcslen(dst), src);
    return dst;
}

// The terminator counts as part of the string, so searching for 0 finds it.
const WCHAR *wcschr(const WCHAR *s, WCHAR c) {
    for (;; ++s) {
        if (*s == c) return s;
        if (!*s) return nullptr;
    }
}

WCHAR *wcschr(WCHAR *s, WCHAR c) {
    return const_cast<WCHAR *>(wcschr((const WCHAR *)s, c));
}

const WCHAR *wcsrchr(const WCHAR *s, WCHAR c) {
    const WCHAR *found = nullptr;
    for (;; ++s) {
        if (*s == c) found = s;
        if (!*s) return found;
    }
}

WCHAR *wcsrchr(WCHAR *s, WCHAR c) {
    return const_cast<WCHAR *>(wcsrchr((const WCHAR *)s, c));
}

static bool is_white(WCHAR c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Overflow is undefined in the Windows runtime; saturating keeps it defined here. The
// accumulator stops growing once past the range, so long digit runs cannot overflow it.
int _wtoi(const WCHAR *s) {
    while (is_white(*s))
        ++s;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    const long long limit = (long long)INT_MAX + 1;
    long long value = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        if (value <= limit) value = value * 10 + (*s - '0');
    }
    if (negative) return value >= limit ? INT_MIN : (int)-value;
    return value > INT_MAX ? INT_MAX : (int)value;
}
