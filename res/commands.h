// The commands of wfal-res, each a function of its options that writes its answer to `out` and
// returns the exit status. A file it cannot use ends it with ResError (one line, status 2).
#pragma once

#include <stdio.h>

#include <string>
#include <vector>

struct SectionOptions {
    std::string from, to; // empty: the recording's first or last record
};

struct CsvOptions {
    std::string file;
    SectionOptions section;
    std::string unit = "dBm";
    std::string layout = "wide"; // wide, long or sweep
};

struct EventsOptions {
    std::string file;
    int threshold = -60;
    bool change_on = false;
    int change = 20;
    bool at_marker = false;
    double at_hz = 0; // the marker's frequency when at_marker
    std::string unit = "dBm";
};

struct StatsOptions {
    std::string file;
    SectionOptions section;
    int threshold = -60;
    std::string unit = "dBm";
    std::string plot; // a PNG to write, or empty
};

struct PngOptions {
    std::string file, out;
    SectionOptions section;
    int width = 1200, height = 800;
    int black = -90, white = 0; // dB in the unit
    std::string unit = "dBm";
};

struct CopyOptions {
    std::string file, out;
    SectionOptions section;
    bool notes_given = false;
    std::string notes;
};

// Every file in turn: a bad one gets its line on `err` and makes the status 2; the others are
// still shown.
int res_info(const std::vector<std::string> &files, bool json, FILE *out, FILE *err);
int res_check(const std::vector<std::string> &files, FILE *out, FILE *err);
int res_csv(const CsvOptions &options, FILE *out);
int res_events(const EventsOptions &options, FILE *out);
int res_stats(const StatsOptions &options, FILE *out);
int res_png(const PngOptions &options);
int res_cut(const CopyOptions &options);
int res_repair(const CopyOptions &options);
