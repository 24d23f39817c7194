// events: every record at which Find stops when it is pressed again and again from record 0,
// found in one pass with the module's own scan.
#include <math.h>

#include "commands.h"
#include "module/settings.h"
#include "record_time.h"
#include "shown_levels.h"
#include "spectrogram/find.h"

namespace {

// The point whose frequency is nearest to `hz`; the marker sits on a point.
int marker_point(const ResultFile &file, double hz) {
    const ResultHeader &h = file.header();
    const double step = h.frequency_step / 2.0;
    const double at = step != 0 ? (hz - point_hz(h, 0)) / step : 0.0;
    if (!(at > -0.5 && at < h.points - 0.5))
        res_fail(RES_USAGE, file.path(),
                 "--at " + hz_text(hz) + " Hz lies outside the recording's " +
                     hz_text(point_hz(h, 0)) + " .. " + hz_text(point_hz(h, h.points - 1)) + " Hz");
    return int(lround(at));
}

FindTest find_test(const ResultFile &file, const EventsOptions &o, const ShownLevels &levels) {
    DisplaySettings d{};
    d.find_threshold = o.threshold;
    d.change_threshold_on = o.change_on;
    d.change_threshold = o.change;
    d.find_mode = o.at_marker ? FIND_AT_MARKER : 0;
    const int marker = o.at_marker ? marker_point(file, o.at_hz) : 0;
    const FindParams params = find_params(d, levels.offset, marker);
    FindTest test;
    find_prepare(&params, file.points(), &test);
    return test;
}

void event_line(FILE *out, const ResultFile &file, const ShownLevels &levels, long long record,
                const INT16 *early, const FindTest &test) {
    const int points = file.points();
    const int p = find_pair_point(early, early + points, points, &test);
    fprintf(out, "%s,%lld,%d,%s,%s,%s\n",
            record_time_iso(file.start_seconds() + DWORD(record)).c_str(), record, p,
            hz_text(point_hz(file.header(), p)).c_str(), db_text(levels.db(early[p])).c_str(),
            db_text(levels.db(early[points + p])).c_str());
}

} // namespace

int res_events(const EventsOptions &o, FILE *out) {
    ResultFile file(o.file);
    const ShownLevels levels = shown_levels(file.header(), level_unit_named(o.unit));
    const FindTest test = find_test(file, o, levels);
    const int points = file.points();
    fprintf(out, "time,record,point,frequency_hz,before_%s,after_%s\n", levels.unit_name(),
            levels.unit_name());
    RecordBlocks blocks(file, 0, file.records() - 1, "events", true);
    while (blocks.next()) {
        // Each stop is where the next press searches from.
        for (int at = 0;;) {
            const INT16 *from = blocks.levels() + size_t(at) * size_t(points);
            const int k = find_scan(from, blocks.count() - at, points, &test);
            if (k == 0) break;
            at += k;
            event_line(out, file, levels, blocks.first() + at, from + size_t(k - 1) * points, test);
        }
    }
    return RES_OK;
}
