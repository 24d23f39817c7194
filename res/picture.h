// Pictures drawn with the platform layer's GDI and written with its PNG writer: the spectrogram
// of a section with its axes and legend, and the plot of the per-point statistics.
#pragma once

#include <string>
#include <vector>

#include "record_time.h"
#include "shown_levels.h"
#include "stats.h"

constexpr int PICTURE_MAX_WIDTH = 3840; // the bitmap stays within the tool's memory budget
constexpr int PICTURE_MAX_HEIGHT = 2160;

// Row r of a picture of `rows` rows over `records` records covers records [first, end) of the
// section, counted from its start: every record lies in a row, and a row shows at least one.
struct RowSpan {
    long long first, end;
};
RowSpan picture_row_records(long long records, int rows, int r);

struct SpectrogramPicture {
    int width, height;
    int black, white; // stored levels of the palette's first and last colours
};
void picture_spectrogram(const ResultFile &file, const Section &section, const ShownLevels &levels,
                         const SpectrogramPicture &picture, const std::string &out);
void picture_stats(const ResultFile &file, const Section &section, const ShownLevels &levels,
                   const std::vector<PointStats> &stats, int threshold_db, const std::string &out);
