// csv: the levels as the module shows them, with ISO 8601 local times, in three layouts.
#include <string>
#include <vector>

#include "commands.h"
#include "record_time.h"
#include "shown_levels.h"

namespace {

struct Export {
    const ResultFile &file;
    ShownLevels levels;
    FILE *out;
    std::vector<std::string> texts; // the shown text of every 16-bit level, made once
    std::vector<std::string> hz;    // the frequency of every point
    const std::string &text(INT16 level) const { return texts[size_t(level + 32768)]; }
};

std::vector<std::string> level_texts(const ShownLevels &levels) {
    std::vector<std::string> texts(65536);
    for (int v = -32768; v <= 32767; ++v)
        texts[size_t(v + 32768)] = db_text(levels.db(v));
    return texts;
}

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
        line += ",", line += e.text(levels[p]);
    fprintf(e.out, "%s\n", line.c_str());
}

void long_rows(const Export &e, long long record, const INT16 *levels) {
    const std::string head = record_time_iso(e.file.start_seconds() + DWORD(record)) + "," +
                             std::to_string(record) + ",";
    std::string rows;
    for (int p = 0; p < e.file.points(); ++p)
        rows += head, rows += e.hz[size_t(p)], rows += ',', rows += e.text(levels[p]), rows += '\n';
    fwrite(rows.data(), 1, rows.size(), e.out);
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
        line += ", ", line += e.text(levels[p]);
    fprintf(e.out, "%s\n", line.c_str());
}

} // namespace

int res_csv(const CsvOptions &o, FILE *out) {
    ResultFile file(o.file);
    const Section s = record_section(file, o.section.from, o.section.to);
    const ShownLevels levels = shown_levels(file.header(), level_unit_named(o.unit));
    Export e{file, levels, out, level_texts(levels), {}};
    for (int p = 0; p < file.points(); ++p)
        e.hz.push_back(hz_text(point_hz(file.header(), p)));
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
