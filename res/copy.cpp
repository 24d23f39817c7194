// cut and repair: new result files made from a file's whole records, never written into it.
#include <string.h>

#include <memory>
#include <vector>

#include <winlayer.h>

#include "commands.h"
#include "output_file.h"
#include "progress.h"
#include "record_time.h"
#include "reports/save_section.h"

namespace {

constexpr long long COPY_BYTES = 1 << 20;
constexpr size_t NOTES_CHARS = 511; // as the module's notes editor takes them

void copy_records(const ResultFile &file, const Section &s, OutputFile *out, const char *label) {
    std::vector<char> buffer(COPY_BYTES);
    const long long begin = RESULT_HEADER_SIZE + s.first * file.record_bytes();
    const long long end = RESULT_HEADER_SIZE + (s.last + 1) * file.record_bytes();
    std::unique_ptr<Progress, void (*)(Progress *)> progress(progress_start(label), progress_end);
    for (long long offset = begin; offset < end;) {
        const size_t n = size_t(std::min(COPY_BYTES, end - offset));
        file.read_bytes(offset, buffer.data(), n);
        out->write(buffer.data(), n);
        offset += (long long)n;
        progress_show(progress.get(), double(offset - begin) / double(end - begin));
    }
}

void set_notes(ResultHeader *h, const std::string &notes) {
    const std::u16string text = wl_utf16_from_utf8(notes.c_str(), notes.size());
    memset(h->notes, 0, sizeof h->notes);
    memcpy(h->notes, text.data(), std::min(text.size(), NOTES_CHARS) * sizeof(WCHAR));
}

} // namespace

// The section's header as the module's save-section makes it: the start time moved to the
// first record and sealed again; the notes kept unless new ones are given.
int res_cut(const CopyOptions &o) {
    ResultFile file(o.file);
    const Section s = record_section(file, o.section.from, o.section.to);
    ResultHeader h = file.header();
    if (o.notes_given) set_notes(&h, o.notes);
    section_stamp_header(&h, file.start_seconds() + DWORD(s.first));
    OutputFile out(o.out, o.file);
    out.write(&h, sizeof h);
    copy_records(file, s, &out, "cut");
    out.commit();
    return RES_OK;
}

// The header as it is, and every whole record.
int res_repair(const CopyOptions &o) {
    ResultFile file(o.file);
    OutputFile out(o.out, o.file);
    out.write(&file.header(), sizeof(ResultHeader));
    if (file.records() > 0) copy_records(file, Section{0, file.records() - 1}, &out, "repair");
    out.commit();
    return RES_OK;
}
