// The layer's wide text: counted strings and the formatting engine with the conversions the module
// uses (numbers checked against the C runtime's own snprintf), the C runtime's 16-bit string
// functions, and the UTF-16 <-> UTF-8 codec.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "windows.h"
#include "strsafe.h"
#include "winlayer.h"

namespace {

constexpr WCHAR SENTINEL = 0xFFFF;
constexpr HRESULT SHORT = STRSAFE_E_INSUFFICIENT_BUFFER, INVALID = STRSAFE_E_INVALID_PARAMETER;

std::u16string widen(const char *s) {
    return std::u16string(s, s + strlen(s));
}

// StringCchPrintfW must write what snprintf writes with the same format.
template <typename T, size_t F, size_t V>
void expect_like_crt(const char *const (&formats)[F], const T (&values)[V]) {
    for (const char *f : formats)
        for (T v : values) {
            char expected[400];
            snprintf(expected, sizeof expected, f, v);
            WCHAR actual[400];
            EXPECT_EQ(StringCchPrintfW(actual, 400, widen(f).c_str(), v), S_OK);
            EXPECT_EQ(std::u16string(actual), widen(expected)) << f;
        }
}

TEST(StringCchPrintfW, NumbersMatchTheCRuntime) {
    const char *const int_formats[] = {"%d", "%02d", "%04d"};
    const int int_values[] = {0, 7, -42, 123456, INT_MIN, INT_MAX};
    expect_like_crt(int_formats, int_values);
    const char *const real_formats[] = {"%g", "%4g", "%6.3f", "%7.1f", "%.0f", "%f"};
    const double real_values[] = {0.0,  -0.0, 0.3,   4.0,    0.5,        2.5,          -2.5,
                                  1e-5, 1e6,  1e300, 1e-300, -3.1415926, 1.7976931e308};
    expect_like_crt(real_formats, real_values);
}

TEST(StringCchPrintfW, TextKeepsEveryUnit) {
    const struct {
        const WCHAR *format, *arg, *expected;
    } cases[] = {
        {u"%s|%5s|%-5s|", u"ab", u"ab|   ab|ab   |"},
        {u"%.16s|", u"Напряжение питания", u"Напряжение питан|"},
        {u"%.3s|%s", nullptr, u"(nu|(null)"},
        {u"%.1s", u"\U0001F600", u"\xD83D"}, // precision counts 16-bit units
        {u"100%%%y|abc%", nullptr, u"100%%y|abc%"},
    };
    for (const auto &c : cases) {
        WCHAR buf[64];
        EXPECT_EQ(StringCchPrintfW(buf, 64, c.format, c.arg, c.arg, c.arg), S_OK);
        EXPECT_EQ(std::u16string(buf), c.expected);
    }
}

enum CountedOp { PRINTF, COPY, COPY_N, CAT };

// Each call stays within the buffer, terminates what it wrote, and leaves the rest alone.
TEST(StringCch, StayWithinTheBufferAndTerminate) {
    const struct {
        CountedOp op;
        const WCHAR *before; // the destination's text before CAT
        size_t cch;
        const WCHAR *src; // PRINTF formats "%s%d" with src and 456
        size_t max_src;   // for COPY_N
        HRESULT hr;
        const WCHAR *expected; // null: the buffer must be as it was
    } cases[] = {
        {PRINTF, u"", 7, u"abc", 0, S_OK, u"abc456"},
        {PRINTF, u"", 6, u"abc", 0, SHORT, u"abc45"},
        {COPY, u"", 3, u"abc", 0, SHORT, u"ab"},
        {COPY_N, u"", 10, u"abcdef", 3, S_OK, u"abc"},
        {COPY_N, u"", 3, u"abcdef", 3, SHORT, u"ab"},
        {CAT, u"ab", 5, u"cd", 0, S_OK, u"abcd"},
        {CAT, u"ab", 4, u"cd", 0, SHORT, u"abc"},
        {CAT, u"abcd", 4, u"x", 0, INVALID, nullptr}, // not terminated within cch
    };
    for (const auto &c : cases) {
        WCHAR buf[16], before[16];
        std::fill(buf, buf + 16, SENTINEL);
        std::char_traits<WCHAR>::copy(buf, c.before, std::char_traits<WCHAR>::length(c.before) + 1);
        std::copy(buf, buf + 16, before);
        HRESULT hr = c.op == PRINTF ? StringCchPrintfW(buf, c.cch, u"%s%d", c.src, 456)
                     : c.op == COPY ? StringCchCopyW(buf, c.cch, c.src)
                     : c.op == CAT  ? StringCchCatW(buf, c.cch, c.src)
                                    : StringCchCopyNW(buf, c.cch, c.src, c.max_src);
        EXPECT_EQ(hr, c.hr) << "case " << (&c - cases);
        size_t used = c.expected ? std::char_traits<WCHAR>::length(c.expected) + 1 : 0;
        if (c.expected) {
            EXPECT_EQ(std::u16string(buf), c.expected) << "case " << (&c - cases);
        }
        EXPECT_TRUE(std::equal(buf + used, buf + 16, before + used)) << "case " << (&c - cases);
    }
    size_t length = 99;
    EXPECT_EQ(StringCchLengthW(u"abc", 4, &length), S_OK);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(StringCchLengthW(u"abc", 3, &length), INVALID);
    EXPECT_EQ(length, 0u);
}

// Units above 0x7FFF order after ASCII, as unsigned units; numbers stop at the first non-digit
// and are held to the int range.
TEST(WideString, CompareAsUnsignedUnitsAndParseIntegers) {
    EXPECT_GT(wcscmp(u"\xFFFF", u"a"), 0);
    EXPECT_EQ(wcsncmp(u"abc", u"abd", 2), 0);
    EXPECT_LT(wcsncmp(u"ab", u"\u0416", 2), 0);
    EXPECT_EQ(_wtoi(u"  -42abc") + _wtoi(u"- 5") + _wtoi(u"\uFF11"), -42);
    EXPECT_EQ(_wtoi(u"2147483648"), INT_MAX);
    EXPECT_EQ(_wtoi(u"-99999999999999999999"), INT_MIN);
}

const std::u16string R = u"\uFFFD";

std::string bytes(std::initializer_list<unsigned char> b) {
    return std::string(b.begin(), b.end());
}

// Each maximal invalid subpart is one U+FFFD; the byte that breaks a sequence starts afresh.
TEST(Utf, DecodesUtf8) {
    const std::pair<std::string, std::u16string> cases[] = {
        {bytes({'A', 0, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}), std::u16string(u"A\0\u00E9\u20AC", 4)},
        {bytes({0xF0, 0x9F, 0x98, 0x80, 0xF4, 0x8F, 0xBF, 0xBF}), u"\U0001F600\U0010FFFF"},
        {bytes({'A', 0x80, 0xF5, 0xC1, 0xBF}), u"A" + R + R + R + R},
        {bytes({0xE0, 0x9F, 0xBF}), R + R + R},               // overlong
        {bytes({0xED, 0xA0, 0x80}), R + R + R},               // an encoded surrogate
        {bytes({0xF4, 0x90, 0x80, 0x80}), R + R + R + R},     // above U+10FFFF
        {bytes({0xF0, 0x9F, 0x98, 'A', 0xE2}), R + u"A" + R}, // cut by ASCII, by the end
        {bytes({0xE2, 0xC3, 0xA9}), R + u"\u00E9"},           // cut by another lead
    };
    for (const auto &c : cases)
        EXPECT_EQ(wl_utf16_from_utf8(c.first.data(), c.first.size()), c.second) << c.first;
    EXPECT_EQ(wl_utf16_from_utf8("A\xC3", WL_TEXT_TERMINATED), u"A" + R);
}

// A lone surrogate becomes U+FFFD, or fails the strict form; what is valid comes back decoded.
TEST(Utf, EncodesUtf16) {
    const std::string FFFD = bytes({0xEF, 0xBF, 0xBD});
    const struct {
        std::u16string in;
        size_t count;
        std::string out;
        bool strict_ok;
    } cases[] = {
        {u"\u007F\u0080\u07FF\u0800\uFFFF", 5,
         bytes({0x7F, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}), true},
        {u"\U0001F600\U0010FFFF", 4, bytes({0xF0, 0x9F, 0x98, 0x80, 0xF4, 0x8F, 0xBF, 0xBF}), true},
        {u"A\xD800", 2, "A" + FFFD, false},
        {u"\xDC00\xD800\xD800\xDC00", 4, FFFD + FFFD + bytes({0xF0, 0x90, 0x80, 0x80}), false},
        {u"\U0001F600", 1, FFFD, false}, // a pair cut by the count
    };
    for (const auto &c : cases) {
        EXPECT_EQ(wl_utf8_from_utf16(c.in.data(), c.count), c.out) << c.count;
        std::string strict = "stale";
        EXPECT_EQ(wl_utf8_from_utf16_strict(c.in.data(), c.count, &strict), c.strict_ok);
        EXPECT_EQ(strict, c.strict_ok ? c.out : "") << c.count;
        if (c.strict_ok) {
            EXPECT_EQ(wl_utf16_from_utf8(c.out.data(), c.out.size()), c.in);
        }
    }
    EXPECT_EQ(wl_utf8_from_utf16(u"A\xDC00", WL_TEXT_TERMINATED), "A" + FFFD);
}

} // namespace
