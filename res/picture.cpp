// Pictures: the layout, the axes and the legend drawn through GDI; the spectrogram's rows as
// max-hold of the records they cover, coloured through the module's palette table.
#include "picture.h"

#include <math.h>
#include <string.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include <wlgdi.h>
#include <winlayer.h>

#include "commands.h"
#include "module/calendar.h"
#include "module/state.h"
#include "output_file.h"
#include "spectrogram/palette.h"
#include "ui/gdi_draw.h"
#include "ui/gdi_holders.h"

namespace {

constexpr int TITLE_HEIGHT = 28;
constexpr int MARGIN_LEFT = 74, MARGIN_RIGHT = 96, MARGIN_BOTTOM = 40;
constexpr int TIME_LABEL_SPACING = 48; // pixels between time labels, at least
constexpr int FREQ_LABEL_SPACING = 90;
constexpr COLORREF INK = RGB(0, 0, 0);
constexpr COLORREF PAPER = RGB(255, 255, 255);
constexpr int KHZ_RANGE_LIMIT = 100000; // as the module: ranges from here on are shown in MHz

// The drawing layer's state for one picture: its fonts and their caches are freed when the
// picture is done, also when it fails part way.
struct DrawingSession {
    DrawingSession() = default;
    DrawingSession(const DrawingSession &) = delete;
    DrawingSession &operator=(const DrawingSession &) = delete;
    ~DrawingSession() { wl_gdi_shutdown(); }
};

// A white canvas with a font, written to a PNG file at the end.
class Canvas {
public:
    Canvas(int width, int height)
        : dc_(nullptr), bitmap_(CreateCompatibleBitmap(dc_.get(), width, height)),
          bitmap_in_(dc_.get(), bitmap_.get(), false),
          font_(CreateFontW(15, 0, 0, 0, 0, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, TEXT("arial"))) {
        font_in_ = std::make_unique<GdiSelection>(dc_.get(), font_.get(), false);
        RECT all = {0, 0, width, height};
        GdiOwned<HBRUSH> paper(CreateSolidBrush(PAPER));
        FillRect(dc_.get(), &all, paper.get());
        SetBkMode(dc_.get(), TRANSPARENT);
        SetTextColor(dc_.get(), INK);
        int stride = 0;
        wl_gdi_bitmap_pixels(bitmap_.get(), &pixels_, &stride, nullptr, nullptr);
        stride_ = stride;
    }
    ~Canvas() { font_in_.reset(); }
    HDC dc() const { return dc_.get(); }
    uint32_t *row(int y) const { return pixels_ + size_t(y) * size_t(stride_); }
    // Text with its left (align 0), centre (1) or right (2) at x, its middle at y.
    void text(int x, int y, const std::string &utf8, int align = 0) const {
        const std::u16string t = wl_utf16_from_utf8(utf8.c_str(), utf8.size());
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc(), t.c_str(), int(t.size()), &size);
        ExtTextOutW(dc(), x - size.cx * align / 2, y - size.cy / 2, 0, nullptr, t.c_str(),
                    UINT(t.size()), nullptr);
    }
    void save(const std::string &path) const {
        if (!wl_gdi_save_png(bitmap_.get(), path.c_str()))
            res_fail(RES_BAD_FILE, path, "cannot write the PNG file");
    }

private:
    MemoryDc dc_;
    GdiOwned<HBITMAP> bitmap_;
    GdiSelection bitmap_in_;
    GdiOwned<HFONT> font_;
    std::unique_ptr<GdiSelection> font_in_;
    uint32_t *pixels_ = nullptr;
    int stride_ = 0;
};

void line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
    GdiSelection pen(dc, CreatePen(PS_SOLID, 1, colour), true);
    draw_line(dc, x0, y0, x1, y1);
}

void frame(HDC dc, const RECT &r) {
    GdiSelection pen(dc, CreatePen(PS_SOLID, 1, INK), true);
    const POINT corners[] = {{r.left - 1, r.top - 1},
                             {r.right, r.top - 1},
                             {r.right, r.bottom},
                             {r.left - 1, r.bottom},
                             {r.left - 1, r.top - 1}};
    Polyline(dc, corners, 5);
}

// The smallest of 1, 2, 5 x 10^k at least `least`.
double round_step(double least) {
    const double decade = pow(10.0, floor(log10(least)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * decade >= least) return m * decade;
    return 10.0 * decade;
}

std::string number_text(double v) {
    char text[32];
    snprintf(text, sizeof text, "%g", fabs(v) < 1e-9 ? 0.0 : v);
    return text;
}

// Frequency labels under `plot`, whose columns run from point 0's frequency to the frequency
// past the last point.
void frequency_axis(const Canvas &c, const ResultHeader &h, const RECT &plot) {
    const double f0 = point_hz(h, 0), f1 = point_hz(h, h.points);
    const double width = plot.right - plot.left;
    const bool khz = h.range < KHZ_RANGE_LIMIT;
    const double unit = khz ? 1e3 : 1e6;
    if (!(f1 > f0)) return;
    const double step = round_step((f1 - f0) * FREQ_LABEL_SPACING / width);
    for (double f = ceil(f0 / step) * step; f <= f1; f += step) {
        const int x = plot.left + int((f - f0) / (f1 - f0) * width);
        line(c.dc(), x, plot.bottom + 1, x, plot.bottom + 6, INK);
        c.text(x, plot.bottom + 14, number_text(f / unit), 1);
    }
    c.text((plot.left + plot.right) / 2, plot.bottom + 30, khz ? "kHz" : "MHz", 1);
}

const long long TIME_STEPS[] = {1,     2,     5,      10,     15,      30,     60,    120,
                                300,   600,   900,    1800,   3600,    7200,   10800, 21600,
                                43200, 86400, 172800, 604800, 1209600, 2419200};

std::string clock_label(DWORD seconds, long long step) {
    CalendarFields &t = wfal.calendar;
    t.seconds = seconds;
    seconds_to_calendar();
    char text[32];
    if (step >= 86400 || seconds % 86400 == 0)
        snprintf(text, sizeof text, "%02d-%02d", t.month, t.day);
    else if (step < 60)
        snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    else
        snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
    return text;
}

// Clock times at round steps down the left of the picture; calendar seconds count local
// seconds, so multiples of a step are round clock times.
void time_axis(const Canvas &c, DWORD t0, long long records, const RECT &plot) {
    const double height = plot.bottom - plot.top;
    long long step = TIME_STEPS[std::size(TIME_STEPS) - 1];
    for (long long s : TIME_STEPS) {
        if (double(s) * height / double(records) >= TIME_LABEL_SPACING) {
            step = s;
            break;
        }
    }
    for (long long t = (t0 + step - 1) / step * step; t < t0 + records; t += step) {
        const int y = plot.top + int(double(t - t0) * height / double(records));
        line(c.dc(), plot.left - 6, y, plot.left - 1, y, INK);
        c.text(plot.left - 9, y, clock_label(DWORD(t), step), 2);
    }
}

uint32_t pixel(COLORREF c) {
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// The colour bar from the black level (bottom) to the white level (top), with eight labels.
void legend(const Canvas &c, const ShownLevels &levels, int black, int white, const RECT &plot) {
    const int x = plot.right + 14, height = plot.bottom - plot.top;
    for (int j = 0; j < height; ++j) {
        const uint32_t colour = pixel(palette_colour(height > 1 ? j * 223 / (height - 1) : 0));
        uint32_t *row = c.row(plot.bottom - 1 - j);
        for (int i = 0; i < 16; ++i)
            row[x + i] = colour;
    }
    for (int k = 0; k <= 7; ++k) {
        const double db = levels.db(black) + (levels.db(white) - levels.db(black)) * k / 7.0;
        c.text(x + 20, plot.bottom - 1 - (height - 1) * k / 7, number_text(round(db)));
    }
    c.text(x, plot.top - 10, levels.unit_name());
}

std::string base_name(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void title(const Canvas &c, const ResultFile &file, const std::string &what) {
    const std::string start = record_time_iso(file.start_seconds());
    c.text(8, TITLE_HEIGHT / 2,
           base_name(file.path()) + "   " + header_field(file.header().device) + "   start " +
               start.substr(0, 10) + " " + start.substr(11) + "   " + what);
}

// Streams the section's records into picture rows: each row the maximum, point by point and
// column by column, of the records and points it covers.
class RowMaker {
public:
    RowMaker(const ResultFile &file, const Section &s, int columns)
        : file_(file), section_(s), columns_(columns), blocks_(file, s.first, s.last, "png"),
          held_(size_t(file.points())) {}

    // Row r of `rows` as levels, one per column.
    void row(int r, int rows, INT16 *out) {
        const int points = file_.points();
        const RowSpan span = picture_row_records(section_.last - section_.first + 1, rows, r);
        std::fill(held_.begin(), held_.end(), INT16(-32768));
        for (long long i = section_.first + span.first; i < section_.first + span.end; ++i) {
            const INT16 *record = at(i);
            for (int p = 0; p < points; ++p)
                held_[size_t(p)] = std::max(held_[size_t(p)], record[p]);
        }
        for (int x = 0; x < columns_; ++x) {
            const int p0 = int((long long)x * points / columns_);
            const int p1 = std::max(p0 + 1, int((long long)(x + 1) * points / columns_));
            out[x] = *std::max_element(held_.begin() + p0, held_.begin() + p1);
        }
    }

private:
    const INT16 *at(long long record) {
        while (record >= blocks_.first() + blocks_.count())
            blocks_.next();
        return blocks_.levels() + size_t(record - blocks_.first()) * size_t(file_.points());
    }

    const ResultFile &file_;
    Section section_;
    int columns_;
    RecordBlocks blocks_;
    std::vector<INT16> held_;
};

void draw_rows(const Canvas &c, const ResultFile &file, const Section &s, int black, int white,
               const RECT &plot) {
    const int columns = plot.right - plot.left, rows = plot.bottom - plot.top;
    auto table = std::make_unique<PaletteTable>();
    memset(table.get(), 0, sizeof *table);
    palette_table_update(table.get(), black, white);
    uint32_t colours[PALETTE_SIZE];
    for (int i = 0; i < PALETTE_SIZE; ++i)
        colours[i] = pixel(palette_colour(i));
    RowMaker maker(file, s, columns);
    std::vector<INT16> levels(static_cast<size_t>(columns));
    for (int r = 0; r < rows; ++r) {
        maker.row(r, rows, levels.data());
        uint32_t *out = c.row(plot.top + r) + plot.left;
        for (int x = 0; x < columns; ++x)
            out[x] = colours[table->index[levels[size_t(x)] + 32768]];
    }
}

} // namespace

RowSpan picture_row_records(long long records, int rows, int r) {
    const long long first = (long long)r * records / rows;
    return {first, std::max(first + 1, (long long)(r + 1) * records / rows)};
}

void picture_spectrogram(const ResultFile &file, const Section &s, const ShownLevels &levels,
                         const SpectrogramPicture &p, const std::string &out) {
    DrawingSession session;
    Canvas c(p.width, p.height);
    const RECT plot = {MARGIN_LEFT, TITLE_HEIGHT + 8, p.width - MARGIN_RIGHT,
                       p.height - MARGIN_BOTTOM};
    const long long records = s.last - s.first + 1;
    title(c, file,
          std::to_string(records) + " records" +
              (records > plot.bottom - plot.top ? ", rows show the maximum of their records" : ""));
    draw_rows(c, file, s, p.black, p.white, plot);
    frame(c.dc(), plot);
    time_axis(c, file.start_seconds() + DWORD(s.first), records, plot);
    frequency_axis(c, file.header(), plot);
    legend(c, levels, p.black, p.white, plot);
    c.save(out);
}

void picture_stats(const ResultFile &file, const Section &s, const ShownLevels &levels,
                   const std::vector<PointStats> &stats, int threshold_db, const std::string &out) {
    constexpr int WIDTH = 1000, HEIGHT = 600;
    DrawingSession session;
    Canvas c(WIDTH, HEIGHT);
    const RECT plot = {MARGIN_LEFT, TITLE_HEIGHT + 24, WIDTH - 24, HEIGHT - MARGIN_BOTTOM};
    title(c, file,
          std::to_string(s.last - s.first + 1) + " records: maximum (red), mean power (black), "
                                                 "minimum (blue), threshold (green)");
    double low = threshold_db, high = threshold_db;
    for (const PointStats &p : stats)
        low = std::min(low, p.min_db), high = std::max(high, p.max_db);
    const double step = round_step(std::max(1.0, (high - low) / 10.0));
    low = floor(low / step) * step, high = ceil(high / step) * step + step;
    const double height = plot.bottom - plot.top, width = plot.right - plot.left;
    const auto y_of = [&](double db) {
        return plot.bottom - 1 - int((db - low) / (high - low) * (height - 1));
    };
    for (double db = low; db <= high; db += step) {
        line(c.dc(), plot.left, y_of(db), plot.right, y_of(db), RGB(220, 220, 220));
        c.text(plot.left - 9, y_of(db), number_text(db), 2);
    }
    c.text(plot.left - 9, plot.top - 16, levels.unit_name(), 2);
    line(c.dc(), plot.left, y_of(threshold_db), plot.right, y_of(threshold_db), RGB(0, 160, 0));
    const auto trace = [&](double PointStats::*value, COLORREF colour) {
        std::vector<POINT> points;
        for (size_t p = 0; p < stats.size(); ++p)
            points.push_back(
                {plot.left + int((p + 0.5) * width / double(stats.size())), y_of(stats[p].*value)});
        GdiSelection pen(c.dc(), CreatePen(PS_SOLID, 1, colour), true);
        Polyline(c.dc(), points.data(), int(points.size()));
    };
    trace(&PointStats::max_db, RGB(220, 0, 0));
    trace(&PointStats::mean_db, INK);
    trace(&PointStats::min_db, RGB(0, 0, 220));
    frame(c.dc(), plot);
    frequency_axis(c, file.header(), plot);
    c.save(out);
}

int res_png(const PngOptions &o) {
    ResultFile file(o.file);
    const Section s = record_section(file, o.section.from, o.section.to);
    if (s.last < s.first) res_fail(RES_USAGE, o.file, "holds no whole record to draw");
    if (o.width > PICTURE_MAX_WIDTH || o.height > PICTURE_MAX_HEIGHT)
        res_fail(RES_USAGE, o.out, "larger than 3840x2160");
    refuse_source_as_output(o.out, o.file);
    const ShownLevels levels = shown_levels(file.header(), level_unit_named(o.unit));
    picture_spectrogram(file, s, levels,
                        {o.width, o.height, levels.stored(o.black), levels.stored(o.white)}, o.out);
    return RES_OK;
}
