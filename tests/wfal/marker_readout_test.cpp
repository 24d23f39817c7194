// The readout's text where a field width, a rounding, a cut or a 32-bit frequency would show: the
// view flows' stored screens show it for ordinary values, and the highest point (the first of
// equal ones, among the file's points only).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spectrogram/marker_readout.h"

namespace {

ViewState kilohertz_view(int points) {
    ViewState v{};
    v.mode = VIEW_STILL, v.points = points, v.frequency_divisor = 2000;
    for (INT16 &level : v.spectrum)
        level = -5000;
    std::u16string(u"kHz").copy(v.frequency_unit, 3);
    std::u16string(u"dBm").copy(v.level_unit, 3);
    return v;
}

// The text's lines 0, 2, 3, 4 and 6; nothing may be written past the readout's 500 characters.
std::u16string readout(const ViewState &v, int start, int step,
                       const MarkerKeys &keys = {u"Spectrum", u"Marker", u"Max"}) {
    WCHAR text[MARKER_READOUT_CHARS + 100];
    std::fill(std::begin(text), std::end(text), u'#');
    marker_readout(v, start, step, keys, text);
    EXPECT_EQ(std::u16string(text + MARKER_READOUT_CHARS, 100), std::u16string(100, u'#'));
    std::vector<std::u16string> lines(1);
    for (const WCHAR *p = text; *p; ++p)
        *p == u'\n' ? lines.emplace_back() : lines.back() += *p;
    EXPECT_EQ(lines.size(), 9u);
    lines.resize(9);
    return lines[0] + u"|" + lines[2] + u"|" + lines[3] + u"|" + lines[4] + u"|" + lines[6];
}

TEST(MarkerReadout, FieldsRoundingAndCuts) {
    const struct {
        int start, step, divisor, point, sample, offset;
        const char16_t *frequency_and_level;
    } cases[] = {{1000, 200, 2000, 0, 0, 0, u"    0.500 kHz|      0.0 dBm"}, // narrow fields pad
                 {100000000, 2000, 2000000, 10, 1234, -778, u"   50.010 MHz|     20.1 dBm"},
                 {2000000000, 2000000, 2000, 799, -32768, 0, u"   1799000.000 kHz|   -327.7 dBm"},
                 {0, 200, 2000, 1, 32767, -2147483647, u"    0.100 kHz|  21475164.1 dBm"}};
    for (const auto &c : cases) {
        ViewState v = kilohertz_view(VIEW_MAX_POINTS);
        v.frequency_divisor = c.divisor, v.marker_point = c.point, v.level_offset = c.offset;
        v.spectrum[c.point] = (INT16)c.sample;
        if (c.divisor == 2000000) std::u16string(u"MHz").copy(v.frequency_unit, 3);
        EXPECT_EQ(readout(v, c.start, c.step),
                  u"Spectrum|Marker:|" + std::u16string(c.frequency_and_level) + u"|Max:");
    }
    // Keys and units are cut to 16 characters, also a unit without its terminator.
    ViewState v = kilohertz_view(300);
    std::u16string(VIEW_UNIT_CHARS, u'u').copy(v.level_unit, VIEW_UNIT_CHARS);
    v.time_text[0] = u'T';
    EXPECT_EQ(
        readout(v, 0, 200, {u"ABCDEFGHIJKLMNOPQ", u"abcdefghijklmnopq", u"0123456789abcdefg"}),
        u"ABCDEFGHIJKLMNOP|abcdefghijklmnop:|    0.000 kHz|    -50.0 uuuuuuuuuuuuuuuu|"
        u"0123456789abcdef:");
}

} // namespace
