// The readout's text where a field width, a rounding, a cut or a 32-bit frequency would show:
// the view flows' stored screens show it for ordinary values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spectrogram/marker_readout.h"

namespace {

const MarkerKeys KEYS = {u"Spectrum", u"Marker", u"Max"};

ViewState kilohertz_view(int points) {
    ViewState v{};
    v.mode = VIEW_STILL, v.points = points, v.frequency_divisor = 2000;
    for (INT16 &level : v.spectrum)
        level = -5000;
    std::u16string(u"kHz").copy(v.frequency_unit, 3);
    std::u16string(u"dBm").copy(v.level_unit, 3);
    return v;
}

// The text's lines; nothing may be written past the 500 characters of the readout.
std::vector<std::u16string> readout_lines(const ViewState &v, int start, int step,
                                          const MarkerKeys &keys = KEYS) {
    WCHAR text[MARKER_READOUT_CHARS + 100];
    std::fill(std::begin(text), std::end(text), u'#');
    marker_readout(v, start, step, keys, text);
    EXPECT_EQ(std::u16string(text + MARKER_READOUT_CHARS, 100), std::u16string(100, u'#'));
    std::vector<std::u16string> lines(1);
    for (const WCHAR *p = text; *p; ++p)
        if (*p == u'\n')
            lines.emplace_back();
        else
            lines.back() += *p;
    return lines;
}

TEST(MarkerReadout, MarkerLines) {
    const struct {
        const char *name;
        int start, step, divisor, point, sample, offset;
        const char16_t *frequency_line, *level_line;
    } cases[] = {
        {"narrow fields pad", 1000, 200, 2000, 0, 0, 0, u"    0.500 kHz", u"      0.0 dBm"},
        {"megahertz", 100000000, 2000, 2000000, 10, 1234, -778, u"   50.010 MHz", u"     20.1 dBm"},
        {"beyond 32 bits", 2000000000, 2000000, 2000, 799, -32768, 0, u"   1799000.000 kHz",
         u"   -327.7 dBm"},
        {"wide level", 0, 200, 2000, 1, 32767, -2147483647, u"    0.100 kHz", u"  21475164.1 dBm"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ViewState v = kilohertz_view(VIEW_MAX_POINTS);
        v.frequency_divisor = c.divisor, v.marker_point = c.point, v.level_offset = c.offset;
        v.spectrum[c.point] = (INT16)c.sample;
        if (c.divisor == 2000000) std::u16string(u"MHz").copy(v.frequency_unit, 3);
        const std::vector<std::u16string> lines = readout_lines(v, c.start, c.step);
        ASSERT_EQ(lines.size(), 9u);
        EXPECT_EQ(lines[3] + u"|" + lines[4],
                  c.frequency_line + (u"|" + std::u16string(c.level_line)));
    }
}

TEST(MarkerReadout, KeysAndUnitsCutTo16) {
    ViewState v = kilohertz_view(300);
    std::u16string(VIEW_UNIT_CHARS, u'u').copy(v.level_unit, VIEW_UNIT_CHARS); // no terminator
    v.time_text[0] = u'T';
    const MarkerKeys keys = {u"ABCDEFGHIJKLMNOPQ", u"abcdefghijklmnopq", u"0123456789abcdefg"};
    const std::vector<std::u16string> lines = readout_lines(v, 0, 200, keys);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0] + u"|" + lines[2] + u"|" + lines[4] + u"|" + lines[6],
              u"ABCDEFGHIJKLMNOP|abcdefghijklmnop:|    -50.0 uuuuuuuuuuuuuuuu|0123456789abcdef:");
}

// The first of the highest levels among the points the spectrum holds.
TEST(MarkerReadout, MaxPoint) {
    const struct {
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
        {"no points: the first", 0, {{1, 0}}, 0},
    };
    for (const auto &c : cases) {
        ViewState v = kilohertz_view(c.points);
        for (const auto &s : c.samples)
            v.spectrum[s.first] = (INT16)s.second;
        EXPECT_EQ(marker_max_point(v), c.expected) << c.name;
    }
}

} // namespace
