// The result file: a 1320-byte header followed by one record of `points` 16-bit levels per
// second of recording. The same header is the current set-up and the settings file's second block.
#pragma once

#include <windows.h>

#pragma pack(push, 1)
struct ResultHeader {
    WCHAR type_prefix[6]; // "wfal_"
    WCHAR date_text[20];  // "MM/DD/YYYY-hh:mm:ss" of the start time
    BYTE checksum;        // sum of bytes 0..51, modulo 256
    BYTE reserved_after_sum[3];
    char magic[4];     // "WFAL", no terminator
    INT32 header_size; // 1320; also the file offset of the first record
    WCHAR device[16];  // from the engine identification
    WCHAR serial[16];  // from the engine identification
    WCHAR software_version[16];
    WORD start_year; // local time of record 0
    WORD start_month;
    WORD start_day;
    WORD start_hour;
    WORD start_minute;
    WORD start_second;
    INT32 range;           // Hz, a Range choice value
    INT32 impedance;       // Ohm
    INT32 input;           // 0 terminated, 1 unterminated, 2 high-impedance probe
    INT32 gain;            // dB, -1 automatic
    INT32 start_frequency; // half-hertz
    INT32 frequency_step;  // half-hertz
    INT32 points;          // levels per record
    INT32 reserved[8];
    WCHAR operator_name[32];
    WCHAR notes[512];
};
#pragma pack(pop)

static_assert(sizeof(ResultHeader) == 1320, "result header layout");
static_assert(offsetof(ResultHeader, date_text) == 12, "result header layout");
static_assert(offsetof(ResultHeader, checksum) == 52, "result header layout");
static_assert(offsetof(ResultHeader, reserved_after_sum) == 53, "result header layout");
static_assert(offsetof(ResultHeader, magic) == 56, "result header layout");
static_assert(offsetof(ResultHeader, header_size) == 60, "result header layout");
static_assert(offsetof(ResultHeader, device) == 64, "result header layout");
static_assert(offsetof(ResultHeader, serial) == 96, "result header layout");
static_assert(offsetof(ResultHeader, software_version) == 128, "result header layout");
static_assert(offsetof(ResultHeader, start_year) == 160, "result header layout");
static_assert(offsetof(ResultHeader, start_month) == 162, "result header layout");
static_assert(offsetof(ResultHeader, start_day) == 164, "result header layout");
static_assert(offsetof(ResultHeader, start_hour) == 166, "result header layout");
static_assert(offsetof(ResultHeader, start_minute) == 168, "result header layout");
static_assert(offsetof(ResultHeader, start_second) == 170, "result header layout");
static_assert(offsetof(ResultHeader, range) == 172, "result header layout");
static_assert(offsetof(ResultHeader, impedance) == 176, "result header layout");
static_assert(offsetof(ResultHeader, input) == 180, "result header layout");
static_assert(offsetof(ResultHeader, gain) == 184, "result header layout");
static_assert(offsetof(ResultHeader, start_frequency) == 188, "result header layout");
static_assert(offsetof(ResultHeader, frequency_step) == 192, "result header layout");
static_assert(offsetof(ResultHeader, points) == 196, "result header layout");
static_assert(offsetof(ResultHeader, reserved) == 200, "result header layout");
static_assert(offsetof(ResultHeader, operator_name) == 232, "result header layout");
static_assert(offsetof(ResultHeader, notes) == 296, "result header layout");

constexpr INT32 RESULT_HEADER_SIZE = 1320;
constexpr INT32 RESULT_MAX_POINTS = 800;
// File offsets are 32-bit longs on the instrument, where a larger file's size cannot be taken.
// The limit also keeps every record index well inside an int, even at one point per record.
constexpr LONGLONG RESULT_MAX_FILE_SIZE = 0x7fffffff;
constexpr char RESULT_MAGIC[4] = {'W', 'F', 'A', 'L'}; // no terminator

// Fills the current header for a new test: start time from the local time (also into the
// calendar fields, with their calendar seconds), seal, size and magic, points and frequencies from
// the range, version, operator, empty notes. Device, serial, range, impedance, input and gain stay
// as set up.
void header_build();
// Writes the type prefix, the date text from the header's own start-time fields, the checksum
// of bytes 0..51 and the zero bytes after it.
void header_seal(ResultHeader *header);
// Whether a header read from a file can be shown: size, magic and a usable number of points.
// The checksum, prefix and date text are not checked.
BOOL header_accepted(const ResultHeader &header);
// Reads and checks the header of a result file. On acceptance copies it to *out and the file's
// size to *file_size; a refused file, also one larger than RESULT_MAX_FILE_SIZE, leaves both
// untouched.
BOOL header_check_file(const WCHAR *path, ResultHeader *out, LONGLONG *file_size);
// Whole records in a file of file_size bytes; a trailing partial record does not count.
LONGLONG result_record_count(LONGLONG file_size, const ResultHeader &header);
// Index of the last whole record, 0 when there is none.
LONGLONG result_last_record(LONGLONG file_size, const ResultHeader &header);
