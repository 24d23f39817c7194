// Result files made by tests: a valid header with the set-up a test names and records whose
// levels a function of (record, point) gives.
#pragma once

#include <functional>
#include <string>

#include <windows.h>

#include "resultfile/result_header.h"

struct ResultFileRecipe {
    int points = 300;
    long long records = 0;
    INT32 range = 3000000; // Hz
    INT32 impedance = 600;
    INT32 input = 0;
    INT32 gain = 0;
    INT32 start_frequency = 0; // half-hertz
    INT32 frequency_step = 20000;
    WORD year = 2020, month = 1, day = 2, hour = 10, minute = 0, second = 0;
    // Level of each point of each record, hundredths of a dB; -5000 everywhere when empty.
    std::function<INT16(long long record, int point)> level;
    // Bytes appended after the last whole record (a record being written).
    int partial_bytes = 0;
};

// The header the recipe describes, sealed as a recording would seal it.
ResultHeader result_file_header(const ResultFileRecipe &recipe);
// Writes the file at a native path (for example under TempDeviceRoot::dir()) in one pass,
// without holding the whole file in memory.
void result_file_write(const std::string &native_path, const ResultFileRecipe &recipe);
// The record of a file made from the recipe, as the file holds it.
std::string result_file_record(const ResultFileRecipe &recipe, long long record);
