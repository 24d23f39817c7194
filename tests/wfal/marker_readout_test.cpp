// The readout's text to the character: field widths, rounding, the units and keys cut to 16
// characters, frequencies beyond the 32-bit range, and which point counts as the maximum.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spectrogram/marker_readout.h"

namespace {

const MarkerKeys KEYS = {u"Spectrum", u"Marker", u"Max"};

ViewState kilohertz_view() {
    ViewState v{};
    v.mode = VIEW_STILL;
    v.points = 300;
    v.frequency_divisor = 2000;
    for (int i = 0; i < VIEW_MAX_POINTS; ++i)
        v.spectrum[i] = -5000;
    std::u16string khz = u"kHz", dbm = u"dBm";
    khz.copy(v.frequency_unit, khz.size());
    dbm.copy(v.level_unit, dbm.size());
    return v;
}

std::vector<std::u16string> readout_lines(const ViewState &v, int start, int step,
                                          const MarkerKeys &keys = KEYS) {
    WCHAR text[MARKER_READOUT_CHARS];
    marker_readout(v, start, step, keys, text);
    std::vector<std::u16string> lines(1);
    for (const WCHAR *p = text; *p; ++p) {
        if (*p == u'\n')
            lines.emplace_back();
        else
            lines.back() += *p;
    }
    return lines;
}

TEST(MarkerReadout, WholeText) {
    ViewState v = kilohertz_view();
    v.marker_point = 100;
    v.spectrum[100] = -4222;
    v.spectrum[250] = -1000;
    std::vector<std::u16string> expected = {u"Spectrum",      u"", u"Marker:", u"   10.000 kHz",
                                            u"    -42.2 dBm", u"", u"Max:",    u"   25.000 kHz",
                                            u"    -10.0 dBm"};
    EXPECT_EQ(readout_lines(v, 0, 200), expected);
}

TEST(MarkerReadout, MarkerLines) {
    struct Case {
        const char *name;
        int start, step, divisor, point, sample, offset;
        const char16_t *frequency_line, *level_line;
    } cases[] = {
        {"narrow fields pad", 1000, 200, 2000, 0, 0, 0, u"    0.500 kHz", u"      0.0 dBm"},
        {"level offset", 0, 200, 2000, 3, -4222, -778, u"    0.300 kHz", u"    -34.4 dBm"},
        {"megahertz", 100000000, 2000, 2000000, 10, 1234, 0, u"   50.010 MHz", u"     12.3 dBm"},
        {"beyond 32 bits", 2000000000, 2000000, 2000, 799, -32768, 0, u"   1799000.000 kHz",
         u"   -327.7 dBm"},
        {"wide level", 0, 200, 2000, 1, 32767, -2147483647, u"    0.100 kHz", u"  21475164.1 dBm"},
    };
    for (const Case &c : cases) {
        ViewState v = kilohertz_view();
        v.points = VIEW_MAX_POINTS;
        v.frequency_divisor = c.divisor;
        v.marker_point = c.point;
        v.spectrum[c.point] = (INT16)c.sample;
        v.level_offset = c.offset;
        if (c.divisor == 2000000) std::u16string(u"MHz").copy(v.frequency_unit, 3);
        std::vector<std::u16string> lines = readout_lines(v, c.start, c.step);
        ASSERT_EQ(lines.size(), 9u) << c.name;
        EXPECT_EQ(lines[3], c.frequency_line) << c.name;
        EXPECT_EQ(lines[4], c.level_line) << c.name;
    }
}

TEST(MarkerReadout, MaxPoint) {
    struct Case {
        const char *name;
        int points;
        std::vector<std::pair<int, int>> samples; // index, level over a floor of -5000
        int expected;
    } cases[] = {
        {"all equal", 300, {}, 0},
        {"all lowest", 300, {{0, -32768}, {1, -32768}}, 2},
        {"highest last", 300, {{299, -4999}}, 299},
        {"beyond the points", 300, {{300, 100}, {5, -4000}}, 5},
        {"equal highest: lowest index", 300, {{7, 32767}, {3, 32767}, {200, 32767}}, 3},
        {"one point", 1, {{1, 0}}, 0},
    };
    for (const Case &c : cases) {
        ViewState v = kilohertz_view();
        v.points = c.points;
        for (const auto &s : c.samples)
            v.spectrum[s.first] = (INT16)s.second;
        EXPECT_EQ(marker_max_point(v), c.expected) << c.name;
    }
}

TEST(MarkerReadout, KeysAndUnitsCutTo16) {
    ViewState v = kilohertz_view();
    for (int i = 0; i < VIEW_UNIT_CHARS; ++i)
        v.level_unit[i] = u'u'; // fills the field: no terminator
    v.time_text[0] = u'T';
    const MarkerKeys keys = {u"ABCDEFGHIJKLMNOPQ", u"abcdefghijklmnopq", u"0123456789abcdefg"};
    std::vector<std::u16string> lines = readout_lines(v, 0, 200, keys);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], u"ABCDEFGHIJKLMNOP");
    EXPECT_EQ(lines[2], u"abcdefghijklmnop:");
    EXPECT_EQ(lines[4], u"    -50.0 uuuuuuuuuuuuuuuu");
    EXPECT_EQ(lines[6], u"0123456789abcdef:");
}

TEST(MarkerReadout, WritesAtMost500Characters) {
    ViewState v = kilohertz_view();
    WCHAR text[MARKER_READOUT_CHARS + 100];
    for (WCHAR &ch : text)
        ch = u'#';
    marker_readout(v, 0, 200, KEYS, text);
    int length = 0;
    while (length < MARKER_READOUT_CHARS + 100 && text[length] != 0)
        ++length;
    EXPECT_LT(length, MARKER_READOUT_CHARS);
    for (int i = MARKER_READOUT_CHARS; i < MARKER_READOUT_CHARS + 100; ++i)
        ASSERT_EQ(text[i], u'#') << i;
}

} // namespace
