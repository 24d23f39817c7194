// The 16-bit wide-string functions of the C runtime.
#include <gtest/gtest.h>

#include <limits.h>

#include <algorithm>
#include <string>

#include "windows.h"

namespace {

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

TEST(WideString, CopyPadsAndAppends) {
    struct Case {
        const WCHAR *src;
        size_t n;
        std::u16string expected; // the n units wcsncpy writes
    } const cases[] = {{u"ab", 5, std::u16string(u"ab\0\0\0", 5)},
                       {u"abcd", 4, u"abcd"},
                       {u"abcdef", 3, u"abc"},
                       {u"ab", 0, u""}};
    for (const Case &c : cases) {
        WCHAR buf[8];
        std::fill(buf, buf + 8, (WCHAR)0xFFFF);
        EXPECT_EQ(wcsncpy(buf, c.src, c.n), buf);
        EXPECT_EQ(std::u16string(buf, c.n), c.expected);
        EXPECT_EQ(buf[c.n], 0xFFFF) << c.n;
    }
    WCHAR buf[8];
    std::fill(buf, buf + 8, (WCHAR)0xFFFF);
    EXPECT_EQ(wcscat(wcscpy(buf, u"ab"), u"\u0416d"), buf);
    EXPECT_EQ(wcslen(buf), 4u);
    EXPECT_EQ(std::u16string(buf), u"ab\u0416d");
    EXPECT_EQ(buf[5], 0xFFFF);
}

TEST(WideString, FindFirstAndLast) {
    // The terminator is part of the string, so searching for 0 finds it.
    WCHAR s[] = u"\\USB\\dir\\test1.\u0416es";
    struct Case {
        WCHAR c;
        long first, last; // offsets, -1: not found
    } const cases[] = {{u'\\', 0, 8},       {u'.', 14, 14}, {u's', 11, 17},
                       {u'\u0416', 15, 15}, {u'x', -1, -1}, {0, 18, 18}};
    for (const Case &c : cases) {
        const WCHAR *cs = s;
        WCHAR *first = wcschr(s, c.c), *last = wcsrchr(s, c.c);
        EXPECT_EQ(first ? first - s : -1, c.first) << (int)c.c;
        EXPECT_EQ(last ? last - s : -1, c.last) << (int)c.c;
        EXPECT_EQ(wcschr(cs, c.c), first);
        EXPECT_EQ(wcsrchr(cs, c.c), last);
    }
}

TEST(WideString, ToIntegerLikeTheRuntime) {
    struct Case {
        const WCHAR *s;
        int value;
    } const cases[] = {{u"42", 42},
                       {u"  -42abc", -42},
                       {u"\t\n\v\f\r+7", 7},
                       {u"12 3", 12},
                       {u"007", 7},
                       {u"", 0},
                       {u"abc", 0},
                       {u"- 5", 0},
                       {u"+-5", 0},
                       {u"0x10", 0},
                       {u"\uFF11", 0},
                       {u"2147483647", INT_MAX},
                       {u"-2147483648", INT_MIN},
                       {u"2147483648", INT_MAX},
                       {u"-2147483649", INT_MIN},
                       {u"99999999999999999999999999", INT_MAX},
                       {u"-99999999999999999999999999", INT_MIN}};
    for (const Case &c : cases)
        EXPECT_EQ(_wtoi(c.s), c.value);
}

} // namespace
