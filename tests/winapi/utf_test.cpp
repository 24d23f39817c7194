// The layer's UTF-16 <-> UTF-8 codec: valid text both ways, and what malformed text becomes.
#include <gtest/gtest.h>

#include <string>

#include "winlayer.h"

namespace {

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
        {"two-byte lead at the end", bytes({0xC3}), R},
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
