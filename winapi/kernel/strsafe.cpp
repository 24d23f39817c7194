// Counted wide-string functions and the wide formatting engine behind StringCchPrintfW.
// Numeric conversions are handed to snprintf with a narrow copy of the conversion, so numbers
// match the C runtime to the digit; text conversions stay in WCHAR so non-ASCII text survives.
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <type_traits>

#include "strsafe.h"
#include "kernel/format.h"

namespace {

// ---- Output -------------------------------------------------------------------------------

struct FormatOut {
    WCHAR *dst;
    size_t room; // units that fit before the terminator
    size_t len;
    bool full; // a unit was dropped
};

void out_unit(FormatOut &o, WCHAR c) {
    if (o.len < o.room)
        o.dst[o.len++] = c;
    else
        o.full = true;
}

void out_repeat(FormatOut &o, WCHAR c, size_t n) {
    for (; n > 0 && !o.full; --n)
        out_unit(o, c);
}

WCHAR widen(char c) {
    return (WCHAR)(unsigned char)c;
}
WCHAR widen(WCHAR c) {
    return c;
}

template <typename C>
void out_text(FormatOut &o, const C *s, size_t n) {
    for (size_t i = 0; i < n && !o.full; ++i)
        out_unit(o, widen(s[i]));
}

// ---- Conversion specifications --------------------------------------------------------------

enum FormatLength { LEN_DEFAULT, LEN_SHORT, LEN_64 };

struct FormatSpec {
    bool left = false, plus = false, space = false, alt = false, zero = false;
    size_t width = 0;
    int precision = -1; // -1: none
    FormatLength length = LEN_DEFAULT;
    WCHAR conv = 0;
};

// A va_list inside a structure can be passed by reference whatever va_list is on the target.
struct ArgList {
    va_list ap;
};

// Digits saturate so that an absurd width cannot overflow.
int parse_count(const WCHAR *&p) {
    int n = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        n = n > (INT_MAX - 9) / 10 ? INT_MAX : n * 10 + (*p - '0');
    return n;
}

const WCHAR *parse_flags(const WCHAR *p, FormatSpec &piece) {
    for (;; ++p) {
        switch (*p) {
        case '-': piece.left = true; break;
        case '+': piece.plus = true; break;
        case ' ': piece.space = true; break;
        case '#': piece.alt = true; break;
        case '0': piece.zero = true; break;
        default: return p;
        }
    }
}

// A negative width from '*' means left-justified; a negative precision means none.
const WCHAR *parse_width_precision(const WCHAR *p, FormatSpec &piece, ArgList &args) {
    if (*p == '*') {
        long long w = va_arg(args.ap, int);
        if (w < 0) piece.left = true;
        piece.width = (size_t)(w < 0 ? -w : w);
        ++p;
    } else {
        piece.width = (size_t)parse_count(p);
    }
    if (*p != '.') return p;
    ++p;
    if (*p == '*') {
        int v = va_arg(args.ap, int);
        piece.precision = v < 0 ? -1 : v;
        return p + 1;
    }
    piece.precision = parse_count(p);
    return p;
}

// Windows' sizes: l is 32 bits like LONG, ll and I64 are 64 bits, h is short (or narrow text).
const WCHAR *parse_length(const WCHAR *p, FormatSpec &piece) {
    if (p[0] == 'h') {
        piece.length = LEN_SHORT;
        return p + 1;
    }
    if (p[0] == 'l') {
        if (p[1] != 'l') return p + 1;
        piece.length = LEN_64;
        return p + 2;
    }
    if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
        piece.length = LEN_64;
        return p + 3;
    }
    return p;
}

// Returns the position of the conversion character, or null when the format ends first.
const WCHAR *parse_spec(const WCHAR *p, FormatSpec &piece, ArgList &args) {
    p = parse_flags(p, piece);
    p = parse_width_precision(p, piece, args);
    p = parse_length(p, piece);
    piece.conv = *p;
    return *p ? p : nullptr;
}

// ---- Text conversions -----------------------------------------------------------------------

// The Windows runtime pads with zeros for the 0 flag on every conversion, text included.
template <typename C>
void emit_padded(FormatOut &o, const FormatSpec &piece, const C *s, size_t n) {
    size_t pad = piece.width > n ? piece.width - n : 0;
    if (!piece.left) out_repeat(o, piece.zero ? '0' : ' ', pad);
    out_text(o, s, n);
    if (piece.left) out_repeat(o, ' ', pad);
}

// Precision limits the units read, so the text need not be terminated within it.
template <typename C>
void emit_string(FormatOut &o, const FormatSpec &piece, const C *s, const C *null_text) {
    if (!s) s = null_text;
    size_t n = 0;
    while ((piece.precision < 0 || n < (size_t)piece.precision) && s[n])
        ++n;
    emit_padded(o, piece, s, n);
}

void emit_text_conversion(FormatOut &o, const FormatSpec &piece, ArgList &args) {
    bool narrow = piece.length == LEN_SHORT;
    if (piece.conv == 'c') {
        int c = va_arg(args.ap, int);
        WCHAR unit = narrow ? widen((char)c) : (WCHAR)c;
        emit_padded(o, piece, &unit, 1);
    } else if (narrow) {
        emit_string(o, piece, va_arg(args.ap, const char *), "(null)");
    } else {
        emit_string(o, piece, va_arg(args.ap, const WCHAR *), u"(null)");
    }
}

// ---- Numeric conversions --------------------------------------------------------------------

// Builds "%<flags>*.*[ll]<conv>"; width and precision travel as arguments, and a negative
// precision argument means none, as it does for '*'.
void narrow_spec(const FormatSpec &piece, bool wide_int, char *out) {
    *out++ = '%';
    if (piece.left) *out++ = '-';
    if (piece.plus) *out++ = '+';
    if (piece.space) *out++ = ' ';
    if (piece.alt) *out++ = '#';
    if (piece.zero) *out++ = '0';
    for (const char *t = wide_int ? "*.*ll" : "*.*"; *t; ++t)
        *out++ = *t;
    *out++ = (char)piece.conv;
    *out = 0;
}

template <typename T>
void emit_number(FormatOut &o, const FormatSpec &piece, T value) {
    char fmt[16];
    narrow_spec(piece, std::is_integral<T>::value && sizeof(T) == 8, fmt);
    int width = piece.width > INT_MAX ? INT_MAX : (int)piece.width;
    char buf[512];
    int n = snprintf(buf, sizeof buf, fmt, width, piece.precision, value);
    if (n < 0) return;
    if ((size_t)n < sizeof buf) return out_text(o, buf, (size_t)n);
    // Rare: a long %f or a wide field. The heap copy keeps every digit exact.
    char *big = (char *)malloc((size_t)n + 1);
    if (!big) {
        out_text(o, buf, sizeof buf - 1);
        o.full = true;
        return;
    }
    snprintf(big, (size_t)n + 1, fmt, width, piece.precision, value);
    out_text(o, big, (size_t)n);
    free(big);
}

void emit_integer(FormatOut &o, const FormatSpec &piece, ArgList &args) {
    bool is_signed = piece.conv == 'd' || piece.conv == 'i';
    if (piece.length == LEN_64) {
        if (is_signed) return emit_number(o, piece, va_arg(args.ap, long long));
        return emit_number(o, piece, va_arg(args.ap, unsigned long long));
    }
    int v = va_arg(args.ap, int);
    if (piece.length == LEN_SHORT) {
        if (is_signed) return emit_number(o, piece, (int)(short)v);
        return emit_number(o, piece, (unsigned)(unsigned short)v);
    }
    if (is_signed) return emit_number(o, piece, v);
    emit_number(o, piece, (unsigned)v);
}

// ---- Dispatch ---------------------------------------------------------------------------------

// `p` is at the '%'. Returns the position after the conversion.
const WCHAR *emit_conversion(FormatOut &o, const WCHAR *p, ArgList &args) {
    FormatSpec piece;
    const WCHAR *conv = parse_spec(p + 1, piece, args);
    if (!conv) {
        const WCHAR *end = p;
        while (*end)
            ++end;
        out_text(o, p, (size_t)(end - p));
        return end;
    }
    switch (piece.conv) {
    case '%': out_unit(o, '%'); break;
    case 'c':
    case 's': emit_text_conversion(o, piece, args); break;
    case 'd':
    case 'i':
    case 'u':
    case 'o':
    case 'x':
    case 'X': emit_integer(o, piece, args); break;
    case 'e':
    case 'E':
    case 'f':
    case 'g':
    case 'G': emit_number(o, piece, va_arg(args.ap, double)); break;
    default: out_text(o, p, (size_t)(conv + 1 - p)); break;
    }
    return conv + 1;
}

// ---- Counted strings ----------------------------------------------------------------------------

bool cch_valid(size_t cch) {
    return cch > 0 && cch <= STRSAFE_MAX_CCH;
}

// A size that is out of range but not zero still leaves an empty string behind.
HRESULT reject(LPWSTR dst, size_t cch) {
    if (dst && cch > 0) dst[0] = 0;
    return STRSAFE_E_INVALID_PARAMETER;
}

// Copies at most max_src units of src into dst (cch >= 1), cutting at cch - 1.
HRESULT copy_bounded(LPWSTR dst, size_t cch, LPCWSTR src, size_t max_src) {
    size_t i = 0;
    for (; i < max_src && src[i]; ++i) {
        if (i == cch - 1) {
            dst[i] = 0;
            return STRSAFE_E_INSUFFICIENT_BUFFER;
        }
        dst[i] = src[i];
    }
    dst[i] = 0;
    return S_OK;
}

} // namespace

size_t format_wide(WCHAR *dst, size_t capacity, LPCWSTR format, va_list args, bool *truncated) {
    FormatOut o{dst, capacity - 1, 0, false};
    ArgList list;
    va_copy(list.ap, args);
    for (const WCHAR *p = format; *p && !o.full;) {
        if (*p == '%')
            p = emit_conversion(o, p, list);
        else
            out_unit(o, *p++);
    }
    va_end(list.ap);
    dst[o.len] = 0;
    if (truncated) *truncated = o.full;
    return o.len;
}

HRESULT StringCchVPrintfW(LPWSTR dst, size_t cch, LPCWSTR format, va_list args) {
    if (!dst || !cch_valid(cch) || !format) return reject(dst, cch);
    bool truncated = false;
    format_wide(dst, cch, format, args, &truncated);
    return truncated ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

HRESULT StringCchPrintfW(LPWSTR dst, size_t cch, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    HRESULT hr = StringCchVPrintfW(dst, cch, format, args);
    va_end(args);
    return hr;
}

HRESULT StringCchCopyW(LPWSTR dst, size_t cch, LPCWSTR src) {
    if (!dst || !cch_valid(cch) || !src) return reject(dst, cch);
    return copy_bounded(dst, cch, src, SIZE_MAX);
}

HRESULT StringCchCopyNW(LPWSTR dst, size_t cch, LPCWSTR src, size_t max_src) {
    if (!dst || !cch_valid(cch) || !src || max_src > STRSAFE_MAX_CCH) return reject(dst, cch);
    return copy_bounded(dst, cch, src, max_src);
}

// A destination not terminated within cch is refused and left as it is.
HRESULT StringCchCatW(LPWSTR dst, size_t cch, LPCWSTR src) {
    if (!dst || !cch_valid(cch) || !src) return STRSAFE_E_INVALID_PARAMETER;
    size_t len = 0;
    while (len < cch && dst[len])
        ++len;
    if (len == cch) return STRSAFE_E_INVALID_PARAMETER;
    return copy_bounded(dst + len, cch - len, src, SIZE_MAX);
}

// max_cch counts the terminator, so a string of max_cch units or more is refused.
HRESULT StringCchLengthW(LPCWSTR s, size_t max_cch, size_t *length) {
    HRESULT hr = STRSAFE_E_INVALID_PARAMETER;
    size_t n = 0;
    if (s && max_cch <= STRSAFE_MAX_CCH) {
        while (n < max_cch && s[n])
            ++n;
        if (n < max_cch) hr = S_OK;
    }
    if (length) *length = SUCCEEDED(hr) ? n : 0;
    return hr;
}
