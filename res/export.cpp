// csv: the levels as the module shows them, with ISO 8601 local times, in three layouts.
#include <string>

#include "commands.h"
#include "record_time.h"
#include "shown_levels.h"

namespace {

struct Export {
    const ResultFile &file;
    ShownLevels levels;
    FILE *out;
};

void header_line(const Export &e, const std::string &layout) {
    const ResultHeader &h = e.file.header();
    const std::string unit = e.levels.unit_name();
    if (layout == "long") {
        fprintf(e.out, "time,record,frequency_hz,level_%s\n", unit.c_str());
    } else if (layout == "wide") {
        fprintf(e.out, "time,record");
        for (int p = 0; p < h.points; ++p)
            fprintf(e.out, ",%s", hz_text(point_hz(h, p)).c_str());
        fprintf(e.out, "\n");
    }
}

// wide: time, record, then one level per point.
void wide_row(const Export &e, long long record, const INT16 *levels) {
    std::string line =
        record_time_iso(e.file.start_seconds() + DWORD(record)) + "," + std::to_string(record);
    for (int p = 0; p < e.file.points(); ++p)
        line += "," + db_text(e.levels.db(levels[p]));
    fprintf(e.out, "%s\n", line.c_str());
}

void long_rows(const Export &e, long long record, const INT16 *levels) {
    const std::string time = record_time_iso(e.file.start_seconds() + DWORD(record));
    for (int p = 0; p < e.file.points(); ++p)
        fprintf(e.out, "%s,%lld,%s,%s\n", time.c_str(), record,
                hz_text(point_hz(e.file.header(), p)).c_str(),
                db_text(e.levels.db(levels[p])).c_str());
}

// sweep: date, time, lowest Hz, Hz past the last point, step, samples (one record each), then
// one dB value per point; fields apart by ", ".
void sweep_row(const Export &e, long long record, const INT16 *levels) {
    const ResultHeader &h = e.file.header();
    const std::string iso = record_time_iso(e.file.start_seconds() + DWORD(record));
    std::string line = iso.substr(0, 10) + ", " + iso.substr(11) + ", " + hz_text(point_hz(h, 0)) +
                       ", " + hz_text(point_hz(h, h.points)) + ", " +
                       hz_text(h.frequency_step / 2.0) + ", 1";
    for (int p = 0; p < h.points; ++p)
        line += ", " + db_text(e.levels.db(levels[p]));
    fprintf(e.out, "%s\n", line.c_str());
}

} // namespace

int res_csv(const CsvOptions &o, FILE *out) {
    ResultFile file(o.file);
    const Section s = record_section(file, o.section.from, o.section.to);
    Export e{file, shown_levels(file.header(), level_unit_named(o.unit)), out};
    void (*row)(const Export &, long long, const INT16 *) = o.layout == "long"    ? long_rows
                                                            : o.layout == "sweep" ? sweep_row
                                                                                  : wide_row;
    header_line(e, o.layout);
    RecordBlocks blocks(file, s.first, s.last, "csv");
    while (blocks.next()) {
        for (int k = 0; k < blocks.count(); ++k)
            row(e, blocks.first() + k, blocks.levels() + size_t(k) * size_t(file.points()));
    }
    return RES_OK;
}
