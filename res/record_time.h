// Times of a recording: record i was taken i seconds after the start time in the header. Times
// are given as "YYYY-MM-DD hh:mm:ss", as "hh:mm:ss" on the recording's first day, as "+SECONDS"
// from the start or as record "#N", and shown as ISO 8601 local times. The module's calendar
// does every conversion.
#pragma once

#include <string>

#include <windows.h>

#include "result_reader.h"

// "YYYY-MM-DDThh:mm:ss" of calendar seconds.
std::string record_time_iso(DWORD seconds);
// The record index a time names (before 0 or after the last record when the time lies outside
// the recording). Throws ResError (RES_USAGE) for a text that is no time, naming `option`.
long long record_at(const ResultFile &file, const std::string &text, const char *option);

// First and last record of a section; the whole recording for empty texts.
struct Section {
    long long first, last;
};
// The records between the two times, held to the recording. Throws ResError (RES_USAGE) when
// the times leave no record (a file without records and without times gives an empty section).
Section record_section(const ResultFile &file, const std::string &from, const std::string &to);
