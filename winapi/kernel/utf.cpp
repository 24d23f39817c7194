#include "kernel/utf.h"

static void put_utf8(char32_t c, std::string &out) {
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

static bool is_high_surrogate(char32_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
static bool is_low_surrogate(char32_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

bool utf_to_utf8(const WCHAR *s, size_t count, std::string &out) {
    out.clear();
    for (size_t i = 0; i < count; i++) {
        char32_t c = s[i];
        if (is_high_surrogate(c)) {
            if (i + 1 >= count || !is_low_surrogate(s[i + 1])) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(s[++i]) - 0xDC00);
        } else if (is_low_surrogate(c)) {
            return false;
        }
        put_utf8(c, out);
    }
    return true;
}

// Decodes one UTF-8 sequence at s[*i]; advances *i. Malformed input yields U+FFFD.
static char32_t get_utf8(const unsigned char *s, size_t *i) {
    unsigned char b = s[(*i)++];
    if (b < 0x80) return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0 || b >= 0xF8) return 0xFFFD;
    char32_t c = b & (0x3F >> extra);
    for (int k = 0; k < extra; k++) {
        if ((s[*i] & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (s[(*i)++] & 0x3F);
    }
    static const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    bool bad = c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000);
    return bad ? 0xFFFD : c;
}

std::u16string utf_from_utf8(const char *s) {
    std::u16string out;
    const unsigned char *u = reinterpret_cast<const unsigned char *>(s);
    size_t i = 0;
    while (u[i] != 0) {
        char32_t c = get_utf8(u, &i);
        if (c >= 0x10000) {
            out += char16_t(0xD800 + ((c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
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
