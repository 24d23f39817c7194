// Building, sealing and checking result headers, and counting the records behind them.
#include <windows.h>
#include <strsafe.h>
#include <stdio.h>
#include <string.h>

#include <iterator>

#include "module/calendar.h"
#include "module/state.h"
#include "resultfile/result_header.h"

namespace {

// Points and frequencies (Hz) of the ranges that do not simply divide into 300 points.
struct RangeLayout {
    INT32 range;
    INT32 points;
    INT32 start_hz;
    INT32 step_hz;
};

const RangeLayout RANGE_LAYOUTS[] = {
    {4000, 196, 100, 20},
    {20000, 200, 100, 100},
    {35000000, 353, 100000, 100000},
    {106000000, 424, 250000, 250000},
    {212000000, 424, 500000, 500000},
};

constexpr INT32 DEFAULT_POINTS = 300;

RangeLayout range_layout(INT32 range) {
    for (const RangeLayout &layout : RANGE_LAYOUTS) {
        if (layout.range == range) return layout;
    }
    INT32 step = range / DEFAULT_POINTS;
    return {range, DEFAULT_POINTS, step, step};
}

void take_start_time(ResultHeader *h, const SYSTEMTIME &now) {
    h->start_year = now.wYear;
    h->start_month = now.wMonth;
    h->start_day = now.wDay;
    h->start_hour = now.wHour;
    h->start_minute = now.wMinute;
    h->start_second = now.wSecond;
    calendar_set(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

BOOL read_accepted_header(FILE *file, ResultHeader *header, LONGLONG *size) {
    if (fread(header, sizeof *header, 1, file) != 1) return FALSE;
    if (!header_accepted(*header)) return FALSE;
    if (fseek(file, 0, SEEK_END) != 0) return FALSE;
    long end = ftell(file);
    if (end < RESULT_HEADER_SIZE || end > RESULT_MAX_FILE_SIZE) return FALSE;
    *size = end;
    return TRUE;
}

} // namespace

void header_build() {
    ResultHeader *h = &wfal.header;
    SYSTEMTIME now;
    GetLocalTime(&now);
    take_start_time(h, now);
    header_seal(h);
    h->header_size = RESULT_HEADER_SIZE;
    memcpy(h->magic, RESULT_MAGIC, sizeof h->magic);
    RangeLayout layout = range_layout(h->range);
    h->points = layout.points;
    // The header keeps frequencies in half-hertz.
    h->start_frequency = 2 * layout.start_hz;
    h->frequency_step = 2 * layout.step_hz;
    memset(h->reserved, 0, sizeof h->reserved);
    StringCchCopyW(h->software_version, std::size(h->software_version), MODULE_VERSION);
    StringCchCopyW(h->operator_name, std::size(h->operator_name), wfal.operator_name);
    memset(h->notes, 0, sizeof h->notes);
}

void header_seal(ResultHeader *header) {
    StringCchCopyW(header->type_prefix, std::size(header->type_prefix), TEXT("wfal_"));
    StringCchPrintfW(header->date_text, std::size(header->date_text),
                     TEXT("%02d/%02d/%04d-%02d:%02d:%02d"), header->start_month, header->start_day,
                     header->start_year, header->start_hour, header->start_minute,
                     header->start_second);
    const BYTE *bytes = reinterpret_cast<const BYTE *>(header);
    BYTE sum = 0;
    for (size_t i = 0; i < offsetof(ResultHeader, checksum); i++)
        sum = (BYTE)(sum + bytes[i]);
    header->checksum = sum;
    memset(header->reserved_after_sum, 0, sizeof header->reserved_after_sum);
}

// The points field bounds the record size; a header without points has no records to read.
BOOL header_accepted(const ResultHeader &header) {
    return header.header_size == RESULT_HEADER_SIZE &&
           memcmp(header.magic, RESULT_MAGIC, sizeof header.magic) == 0 && header.points > 0 &&
           header.points <= RESULT_MAX_POINTS;
}

BOOL header_check_file(const WCHAR *path, ResultHeader *out, LONGLONG *file_size) {
    FILE *file = _wfopen(path, TEXT("rb"));
    if (!file) return FALSE;
    ResultHeader header;
    LONGLONG size = 0;
    BOOL accepted = read_accepted_header(file, &header, &size);
    fclose(file);
    if (!accepted) return FALSE;
    *out = header;
    *file_size = size;
    return TRUE;
}

LONGLONG result_record_count(LONGLONG file_size, const ResultHeader &header) {
    if (header.points <= 0 || file_size < RESULT_HEADER_SIZE) return 0;
    return (file_size - RESULT_HEADER_SIZE) / (2 * (LONGLONG)header.points);
}

LONGLONG result_last_record(LONGLONG file_size, const ResultHeader &header) {
    LONGLONG count = result_record_count(file_size, header);
    return count > 0 ? count - 1 : 0;
}
