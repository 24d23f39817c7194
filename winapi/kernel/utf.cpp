#include "kernel/utf.h"

#include <string.h>

#include "wincrt.h"

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

void put_utf8(char32_t c, std::string &out) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void put_utf16(char32_t c, std::u16string &out) {
    if (c >= 0x10000) {
        out += char16_t(0xD800 + ((c - 0x10000) >> 10));
        out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        out += char16_t(c);
    }
}

bool is_high_surrogate(char32_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool is_low_surrogate(char32_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// What a lead byte starts: how many bytes follow it, and the range of the first of them (the
// others are all 80..BF). The narrowed ranges after E0, ED, F0 and F4 are what keep out
// overlong forms, encoded surrogates and code points above U+10FFFF. `follow` < 0: no lead.
struct Lead {
    int follow;
    unsigned char low, high;
};

Lead lead_of(unsigned char b) {
    if (b < 0x80) return {0, 0, 0};
    if (b < 0xC2) return {-1, 0, 0};
    if (b < 0xE0) return {1, 0x80, 0xBF};
    if (b == 0xE0) return {2, 0xA0, 0xBF};
    if (b == 0xED) return {2, 0x80, 0x9F};
    if (b < 0xF0) return {2, 0x80, 0xBF};
    if (b == 0xF0) return {3, 0x90, 0xBF};
    if (b < 0xF4) return {3, 0x80, 0xBF};
    if (b == 0xF4) return {3, 0x80, 0x8F};
    return {-1, 0, 0};
}

// The code point at s[*i] (*i < count), *i moved past it; a maximal invalid subpart reads as
// U+FFFD, and *i stops at the byte that broke it.
char32_t next_utf8(const unsigned char *s, size_t count, size_t *i) {
    unsigned char b = s[(*i)++];
    Lead lead = lead_of(b);
    if (lead.follow <= 0) return lead.follow == 0 ? b : REPLACEMENT;
    char32_t c = b & (0x3F >> lead.follow);
    for (int k = 0; k < lead.follow; k++) {
        if (*i >= count || s[*i] < lead.low || s[*i] > lead.high) return REPLACEMENT;
        c = (c << 6) | (s[(*i)++] & 0x3F);
        lead.low = 0x80;
        lead.high = 0xBF;
    }
    return c;
}

size_t utf16_length(const WCHAR *text, size_t count) {
    if (text == nullptr) return 0;
    return count == WL_TEXT_TERMINATED ? wcslen(text) : count;
}

// Lone surrogates become U+FFFD, or end the conversion with false when `strict`.
bool encode(const WCHAR *text, size_t count, bool strict, std::string &out) {
    out.clear();
    count = utf16_length(text, count);
    for (size_t i = 0; i < count; i++) {
        char32_t c = text[i];
        if (is_high_surrogate(c) && i + 1 < count && is_low_surrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[++i]) - 0xDC00);
        } else if (is_high_surrogate(c) || is_low_surrogate(c)) {
            if (strict) return false;
            c = REPLACEMENT;
        }
        put_utf8(c, out);
    }
    return true;
}

} // namespace

std::string wl_utf8_from_utf16(const WCHAR *text, size_t count) {
    std::string out;
    encode(text, count, false, out);
    return out;
}

BOOL wl_utf8_from_utf16_strict(const WCHAR *text, size_t count, std::string *out) {
    if (encode(text, count, true, *out)) return TRUE;
    out->clear();
    return FALSE;
}

std::u16string wl_utf16_from_utf8(const char *text, size_t count) {
    std::u16string out;
    if (text == nullptr) return out;
    if (count == WL_TEXT_TERMINATED) count = strlen(text);
    const unsigned char *u = reinterpret_cast<const unsigned char *>(text);
    for (size_t i = 0; i < count;)
        put_utf16(next_utf8(u, count, &i), out);
    return out;
}

WCHAR utf_fold(WCHAR c) {
    if (c >= u'a' && c <= u'z') return WCHAR(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return WCHAR(c - 0x20);
    if (c == 0xFF) return 0x178;
    return c;
}

bool utf_equal_nocase(const WCHAR *a, size_t a_count, const WCHAR *b, size_t b_count) {
    if (a_count != b_count) return false;
    for (size_t i = 0; i < a_count; i++) {
        if (utf_fold(a[i]) != utf_fold(b[i])) return false;
    }
    return true;
}
