// The layer's wide text: counted strings and the formatting engine (numbers checked against
// the C runtime's own snprintf, buffers pre-filled with a sentinel so that any write past the
// result shows), the C runtime's 16-bit string functions, and the UTF-16 <-> UTF-8 codec.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "windows.h"
#include "strsafe.h"
#include "winlayer.h"

namespace {

constexpr WCHAR SENTINEL = 0xFFFF;
constexpr size_t TOO_BIG = (size_t)STRSAFE_MAX_CCH + 1;
constexpr HRESULT SHORT = STRSAFE_E_INSUFFICIENT_BUFFER, INVALID = STRSAFE_E_INVALID_PARAMETER;

std::u16string widen(const char *s) {
    std::u16string out;
    for (; *s; ++s)
        out += (char16_t)(unsigned char)*s;
    return out;
}

// StringCchPrintfW with wide_format must write what snprintf writes with narrow_format.
template <typename... A>
void expect_like_crt(const char *wide_format, const char *narrow_format, A... args) {
    std::vector<char> expected(2048);
    snprintf(expected.data(), expected.size(), narrow_format, args...);
    std::vector<WCHAR> actual(2048, SENTINEL);
    EXPECT_EQ(StringCchPrintfW(actual.data(), actual.size(), widen(wide_format).c_str(), args...),
              S_OK);
    EXPECT_EQ(std::u16string(actual.data()), widen(expected.data())) << wide_format;
}

template <typename T, size_t F, size_t V>
void expect_table_like_crt(const char *const (&formats)[F], const T (&values)[V]) {
    for (const char *f : formats)
        for (T v : values)
            expect_like_crt(f, f, v);
}

// The conversions the module formats with; on Windows long is 32 bits, so %ld reads an int.
TEST(StringCchPrintfW, NumbersMatchTheCRuntime) {
    const char *const signed_formats[] = {"%d", "%5d", "%-5d|", "%02d", "%04d"};
    const int signed_values[] = {0, 1, -1, 7, -42, 123456, INT_MIN, INT_MAX};
    expect_table_like_crt(signed_formats, signed_values);
    const char *const unsigned_formats[] = {"%u", "%2u", "%02u", "%04u"};
    const unsigned unsigned_values[] = {0u, 1u, 255u, 0xDEADBEEFu, UINT_MAX};
    expect_table_like_crt(unsigned_formats, unsigned_values);
    const char *const real_formats[] = {"%g", "%4g", "%f", "%6.3f", "%7.1f", "%.0f"};
    const double real_values[] = {0.0,         -0.0,        0.3,   4.0,      1.5, 212.0,
                                  0.5,         2.5,         -2.5,  1e-5,     1e6, 1e-300,
                                  123456789.0, -3.14159265, 1e300, 0.1 + 0.2};
    expect_table_like_crt(real_formats, real_values);
    for (LONG v : {(LONG)0, (LONG)-1, (LONG)INT_MIN, (LONG)INT_MAX})
        expect_like_crt("%ld", "%d", v);
    // Longer than any fixed conversion buffer: every digit must still come out.
    expect_like_crt("%f", "%f", 1.7976931348623157e308);
}

TEST(StringCchPrintfW, TextKeepsEveryUnit) {
    struct Case {
        const WCHAR *format, *arg, *expected;
    } const cases[] = {
        {u"%s", u"abc", u"abc"},
        {u"%5s|%-5s|", u"ab", u"   ab|ab   |"},
        {u"%05s", u"ab", u"000ab"},
        {u"%.2s", u"abc", u"ab"},
        {u"%-16.16s|", u"Abcdefghijklmnopqrs", u"Abcdefghijklmnop|"},
        {u"%-16.16s|", u"Напряжение питания", u"Напряжение питан|"},
        {u"%s", nullptr, u"(null)"},
        {u"%.3s", nullptr, u"(nu"},
        {u"%.1s", u"\U0001F600", u"\xD83D"}, // precision counts 16-bit units
        {u"100%%%y|abc%", nullptr, u"100%%y|abc%"},
        {u"%-5", nullptr, u"%-5"},
    };
    for (const Case &c : cases) {
        WCHAR buf[64];
        EXPECT_EQ(StringCchPrintfW(buf, 64, c.format, c.arg, c.arg), S_OK);
        EXPECT_EQ(std::u16string(buf), c.expected);
    }
    WCHAR buf[64];
    StringCchPrintfW(buf, 64, u"%c%-3c|%3c", (int)u'\u0416', (int)u'\u00F7', (int)u'\u02C2');
    EXPECT_EQ(std::u16string(buf), u"\u0416\u00F7  |  \u02C2");
}

enum CountedOp { PRINTF, COPY, COPY_N, CAT };

struct CountedCase {
    CountedOp op;
    const WCHAR *before; // the destination's text before CAT
    size_t cch;
    const WCHAR *src; // PRINTF formats "%s%d" with src and 456
    size_t max_src;   // for COPY_N
    HRESULT hr;
    const WCHAR *expected; // null: the buffer must be as it was
};

HRESULT run(const CountedCase &c, WCHAR *buf) {
    switch (c.op) {
    case PRINTF: return StringCchPrintfW(buf, c.cch, u"%s%d", c.src, 456);
    case COPY: return StringCchCopyW(buf, c.cch, c.src);
    case COPY_N: return StringCchCopyNW(buf, c.cch, c.src, c.max_src);
    case CAT: return StringCchCatW(buf, c.cch, c.src);
    }
    return S_OK;
}

TEST(StringCch, StayWithinTheBufferAndTerminate) {
    const CountedCase cases[] = {
        {PRINTF, u"", 7, u"abc", 0, S_OK, u"abc456"},
        {PRINTF, u"", 6, u"abc", 0, SHORT, u"abc45"},
        {PRINTF, u"", 1, u"abc", 0, SHORT, u""},
        {PRINTF, u"", 0, u"abc", 0, INVALID, nullptr},
        {PRINTF, u"", TOO_BIG, u"abc", 0, INVALID, u""},
        {COPY, u"", 4, u"abc", 0, S_OK, u"abc"},
        {COPY, u"", 3, u"abc", 0, SHORT, u"ab"},
        {COPY, u"", 0, u"abc", 0, INVALID, nullptr},
        {COPY, u"", TOO_BIG, u"abc", 0, INVALID, u""},
        {COPY_N, u"", 10, u"abcdef", 3, S_OK, u"abc"},
        {COPY_N, u"", 3, u"abcdef", 3, SHORT, u"ab"},
        {COPY_N, u"", 4, u"abc", TOO_BIG, INVALID, u""},
        {COPY_N, u"", 0, u"abc", 3, INVALID, nullptr},
        {CAT, u"ab", 5, u"cd", 0, S_OK, u"abcd"},
        {CAT, u"ab", 4, u"cd", 0, SHORT, u"abc"},
        {CAT, u"abc", 4, u"d", 0, SHORT, u"abc"},
        {CAT, u"abcdef", 3, u"x", 0, INVALID, nullptr}, // not terminated within cch
        {CAT, u"abcd", 4, u"x", 0, INVALID, nullptr},
    };
    for (const CountedCase &c : cases) {
        WCHAR buf[16], before[16];
        std::fill(buf, buf + 16, SENTINEL);
        std::char_traits<WCHAR>::copy(buf, c.before, std::char_traits<WCHAR>::length(c.before) + 1);
        std::copy(buf, buf + 16, before);
        EXPECT_EQ(run(c, buf), c.hr) << "case " << (&c - cases);
        size_t used = 0;
        if (c.expected) {
            EXPECT_EQ(std::u16string(buf), c.expected) << "case " << (&c - cases);
            used = std::char_traits<WCHAR>::length(c.expected) + 1;
        }
        for (size_t i = used; i < 16; ++i)
            EXPECT_EQ(buf[i], before[i]) << "case " << (&c - cases) << " changed unit " << i;
    }
}

TEST(StringCchLengthW, CountsWithinTheLimit) {
    const struct {
        const WCHAR *s;
        size_t max;
        HRESULT hr;
        size_t length;
    } cases[] = {{u"abc", 4, S_OK, 3},          {u"abc", 3, INVALID, 0},
                 {u"", 0, INVALID, 0},          {u"abc", STRSAFE_MAX_CCH, S_OK, 3},
                 {u"abc", TOO_BIG, INVALID, 0}, {nullptr, 10, INVALID, 0}};
    for (const auto &c : cases) {
        size_t length = 99;
        EXPECT_EQ(StringCchLengthW(c.s, c.max, &length), c.hr) << c.max;
        EXPECT_EQ(length, c.length) << c.max;
    }
}

int sign(int v) {
    return (v > 0) - (v < 0);
}

// Units above 0x7FFF order after ASCII; a signed comparison would put them first.
TEST(WideString, CompareAsUnsignedUnits) {
    struct Case {
        const WCHAR *a, *b;
        size_t n; // for wcsncmp
        int cmp, ncmp;
    } const cases[] = {{u"abc", u"abc", 3, 0, 0},  {u"abc", u"abd", 2, -1, 0},
                       {u"ab", u"abc", 5, -1, -1}, {u"abc", u"ab", 2, 1, 0},
                       {u"b", u"abc", 0, 1, 0},    {u"", u"", 4, 0, 0},
                       {u"\xFFFF", u"a", 1, 1, 1}, {u"\u0416", u"\u0436", 1, -1, -1}};
    for (const Case &c : cases) {
        EXPECT_EQ(sign(wcscmp(c.a, c.b)), c.cmp);
        EXPECT_EQ(sign(wcscmp(c.b, c.a)), -c.cmp);
        EXPECT_EQ(sign(wcsncmp(c.a, c.b, c.n)), c.ncmp);
    }
}

TEST(WideString, ToIntegerLikeTheRuntime) {
    const std::pair<const WCHAR *, int> cases[] = {
        {u"42", 42},
        {u"  -42abc", -42},
        {u"\t\n\v\f\r+7", 7},
        {u"12 3", 12},
        {u"", 0},
        {u"- 5", 0},
        {u"+-5", 0},
        {u"0x10", 0},
        {u"\uFF11", 0},
        {u"2147483647", INT_MAX},
        {u"-2147483648", INT_MIN},
        {u"2147483648", INT_MAX},
        {u"-99999999999999999999999999", INT_MIN},
    };
    for (const auto &c : cases)
        EXPECT_EQ(_wtoi(c.first), c.second)
            << std::string(c.first, c.first + std::char_traits<WCHAR>::length(c.first));
}

const std::u16string R = u"\uFFFD";

std::string bytes(std::initializer_list<unsigned char> b) {
    return std::string(b.begin(), b.end());
}

// Each maximal invalid subpart is one U+FFFD; the byte that breaks a sequence starts afresh.
TEST(Utf, DecodesUtf8) {
    struct Case {
        const char *what;
        std::string in;
        std::u16string out;
    } const cases[] = {
        {"zero in the middle", bytes({'A', 0, 'B'}), std::u16string(u"A\0B", 3)},
        {"two and three bytes", bytes({0xC3, 0xA9, 0xE2, 0x82, 0xAC}), u"\u00E9\u20AC"},
        {"first of three bytes", bytes({0xE0, 0xA0, 0x80}), u"\u0800"},
        {"last before surrogates", bytes({0xED, 0x9F, 0xBF}), u"\uD7FF"},
        {"supplementary", bytes({0xF0, 0x9F, 0x98, 0x80}), u"\U0001F600"},
        {"U+10FFFF", bytes({0xF4, 0x8F, 0xBF, 0xBF}), u"\U0010FFFF"},
        {"continuation alone", bytes({'A', 0x80, 'B'}), u"A" + R + u"B"},
        {"no lead bytes", bytes({0xF5, 0xFF}), R + R},
        {"overlong two", bytes({0xC0, 0xAF}), R + R},
        {"overlong two at C1", bytes({0xC1, 0xBF}), R + R},
        {"overlong three", bytes({0xE0, 0x9F, 0xBF}), R + R + R},
        {"overlong four", bytes({0xF0, 0x8F, 0xBF, 0xBF}), R + R + R + R},
        {"encoded surrogate", bytes({0xED, 0xA0, 0x80}), R + R + R},
        {"above U+10FFFF", bytes({0xF4, 0x90, 0x80, 0x80}), R + R + R + R},
        {"cut by the end", bytes({'A', 0xE2, 0x82}), u"A" + R},
        {"cut by ASCII", bytes({0xF0, 0x9F, 0x98, 'A'}), R + u"A"},
        {"cut, then a bad byte", bytes({0xE2, '(', 0xA1}), R + u"(" + R},
        {"cut by a zero", bytes({0xC3, 0}), R + std::u16string(1, 0)},
        {"cut by another lead", bytes({0xE2, 0xC3, 0xA9}), R + u"\u00E9"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(wl_utf16_from_utf8(c.in.data(), c.in.size()), c.out) << c.what;
    EXPECT_EQ(wl_utf16_from_utf8("A\xC3", WL_TEXT_TERMINATED), u"A" + R);
    EXPECT_EQ(wl_utf16_from_utf8(nullptr, WL_TEXT_TERMINATED), u"");
}

// A lone surrogate becomes U+FFFD, or fails the strict form; what is valid comes back decoded.
TEST(Utf, EncodesUtf16) {
    const std::string FFFD = bytes({0xEF, 0xBF, 0xBD});
    struct Case {
        const char *what;
        std::u16string in;
        size_t count;
        std::string out;
        bool strict_ok;
    } const cases[] = {
        {"zero in the middle", std::u16string(u"A\0B", 3), 3, bytes({'A', 0, 'B'}), true},
        {"length boundaries", u"\u007F\u0080\u07FF\u0800\uFFFF", 5,
         bytes({0x7F, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}), true},
        {"pair", u"\U0001F600", 2, bytes({0xF0, 0x9F, 0x98, 0x80}), true},
        {"last pair", u"\U0010FFFF", 2, bytes({0xF4, 0x8F, 0xBF, 0xBF}), true},
        {"high at the end", u"A\xD800", 2, "A" + FFFD, false},
        {"high, then not low", std::u16string{0xD800, u'A'}, 2, FFFD + "A", false},
        {"low alone", u"\xDC00", 1, FFFD, false},
        {"low before high", u"\xDC00\xD800", 2, FFFD + FFFD, false},
        {"high before a pair", u"\xD800\xD800\xDC00", 3, FFFD + bytes({0xF0, 0x90, 0x80, 0x80}),
         false},
        {"pair cut by the count", u"\U0001F600", 1, FFFD, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(wl_utf8_from_utf16(c.in.data(), c.count), c.out) << c.what;
        std::string strict = "stale";
        EXPECT_EQ(wl_utf8_from_utf16_strict(c.in.data(), c.count, &strict), c.strict_ok) << c.what;
        EXPECT_EQ(strict, c.strict_ok ? c.out : "") << c.what;
        if (c.strict_ok) {
            EXPECT_EQ(wl_utf16_from_utf8(c.out.data(), c.out.size()), c.in) << c.what;
        }
    }
    EXPECT_EQ(wl_utf8_from_utf16(u"A\xDC00", WL_TEXT_TERMINATED), "A" + FFFD);
    EXPECT_EQ(wl_utf8_from_utf16(nullptr, 5), "");
}

} // namespace
