// wfal-res: result files on the PC. The command line is read with CLI11; each sub-command runs
// one function of commands.h.
#include <stdio.h>
#include <stdlib.h>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "result_reader.h"

namespace {

const char *const TIME_HELP = "YYYY-MM-DD hh:mm:ss, hh:mm:ss on the first day, +SECONDS or #RECORD";
const std::vector<std::string> UNITS = {"dBm", "dBm/Hz"};

void add_section(CLI::App *command, SectionOptions *s) {
    command->add_option("--from", s->from, std::string("first time: ") + TIME_HELP)
        ->type_name("TIME");
    command->add_option("--to", s->to, "last time, as --from")->type_name("TIME");
}

void add_unit(CLI::App *command, std::string *unit) {
    command->add_option("--unit", *unit, "level unit")
        ->check(CLI::IsMember(UNITS))
        ->capture_default_str();
}

// "1500000", "1500k", "1.5M": hertz.
double read_hz(const std::string &text) {
    char *end = nullptr;
    double hz = strtod(text.c_str(), &end);
    const std::string unit = end ? end : "";
    if (unit == "k" || unit == "kHz")
        hz *= 1e3;
    else if (unit == "M" || unit == "MHz")
        hz *= 1e6;
    else if (!unit.empty() && unit != "Hz")
        throw CLI::ValidationError("--at", "\"" + text + "\" is no frequency");
    if (end == text.c_str()) throw CLI::ValidationError("--at", "\"" + text + "\" is no frequency");
    return hz;
}

void read_size(const std::string &text, PngOptions *o) {
    char tail;
    if (sscanf(text.c_str(), "%dx%d%c", &o->width, &o->height, &tail) != 2 || o->width < 320 ||
        o->height < 240 || o->width > 16000 || o->height > 16000)
        throw CLI::ValidationError("--size", "\"" + text + "\": WxH from 320x240 to 16000x16000");
}

} // namespace

int main(int argc, char **argv) {
    CLI::App app("wfal-res: result files of spectrogram tests, on the PC");
    app.require_subcommand(1);
    std::vector<std::string> files;
    bool json = false;
    CsvOptions csv;
    EventsOptions events;
    StatsOptions stats;
    PngOptions png;
    CopyOptions cut, repair;
    std::string at, size;

    CLI::App *info_cmd = app.add_subcommand("info", "header, records, duration and health");
    info_cmd->add_option("FILE", files, "result files")->required();
    info_cmd->add_flag("--json", json, "one JSON object per file, in an array");

    CLI::App *check_cmd =
        app.add_subcommand("check", "verify files (status 1: a torn record or broken seal)");
    check_cmd->add_option("FILE", files, "result files")->required();

    CLI::App *csv_cmd = app.add_subcommand("csv", "levels as the instrument shows them, as CSV");
    csv_cmd->add_option("FILE", csv.file, "result file")->required();
    add_section(csv_cmd, &csv.section);
    add_unit(csv_cmd, &csv.unit);
    csv_cmd->add_option("--layout", csv.layout, "wide, long or sweep")
        ->check(CLI::IsMember({"wide", "long", "sweep"}))
        ->capture_default_str();

    CLI::App *png_cmd = app.add_subcommand("png", "the spectrogram as a picture with axes");
    png_cmd->add_option("FILE", png.file, "result file")->required();
    png_cmd->add_option("-o", png.out, "the PNG file to write")->required()->type_name("OUT");
    add_section(png_cmd, &png.section);
    png_cmd->add_option("--size", size, "picture size (default 1200x800)")->type_name("WxH");
    png_cmd->add_option("--black", png.black, "level of the palette's first colour, dB")
        ->capture_default_str();
    png_cmd->add_option("--white", png.white, "level of the palette's last colour, dB")
        ->capture_default_str();
    add_unit(png_cmd, &png.unit);

    CLI::App *events_cmd = app.add_subcommand("events", "every record at which Find stops");
    events_cmd->add_option("FILE", events.file, "result file")->required();
    events_cmd->add_option("--threshold", events.threshold, "find threshold, dB")->required();
    CLI::Option *change = events_cmd->add_option(
        "--change", events.change, "change threshold, dB: also find changes this large above it");
    events_cmd->add_option("--at", at, "test only the point at this frequency (Hz, k, M)")
        ->type_name("FREQ");
    add_unit(events_cmd, &events.unit);

    CLI::App *stats_cmd = app.add_subcommand("stats", "maximum, mean power, minimum, occupancy");
    stats_cmd->add_option("FILE", stats.file, "result file")->required();
    stats_cmd->add_option("--threshold", stats.threshold, "occupancy threshold, dB")
        ->capture_default_str();
    add_section(stats_cmd, &stats.section);
    add_unit(stats_cmd, &stats.unit);
    stats_cmd->add_option("-o", stats.plot, "also plot them into this PNG file")->type_name("OUT");

    CLI::App *cut_cmd = app.add_subcommand("cut", "a section saved as a new result file");
    cut_cmd->add_option("FILE", cut.file, "result file")->required();
    add_section(cut_cmd, &cut.section);
    cut_cmd->get_option("--from")->required();
    cut_cmd->get_option("--to")->required();
    cut_cmd->add_option("-o", cut.out, "the new result file")->required()->type_name("NEW");
    CLI::Option *notes = cut_cmd->add_option("--notes", cut.notes, "notes of the new file");

    CLI::App *repair_cmd = app.add_subcommand("repair", "a copy without a torn last record");
    repair_cmd->add_option("FILE", repair.file, "result file")->required();
    repair_cmd->add_option("-o", repair.out, "the new result file")->required()->type_name("NEW");

    try {
        app.parse(argc, argv);
        events.change_on = change->count() > 0;
        events.at_marker = !at.empty();
        if (events.at_marker) events.at_hz = read_hz(at);
        if (!size.empty()) read_size(size, &png);
        cut.notes_given = notes->count() > 0;
    } catch (const CLI::ParseError &e) {
        // Help is status 0; every other refusal of the command line is a usage error.
        return app.exit(e) == 0 ? RES_OK : RES_USAGE;
    }

    try {
        if (*info_cmd) return res_info(files, json, stdout, stderr);
        if (*check_cmd) return res_check(files, stdout, stderr);
        if (*csv_cmd) return res_csv(csv, stdout);
        if (*png_cmd) return res_png(png);
        if (*events_cmd) return res_events(events, stdout);
        if (*stats_cmd) return res_stats(stats, stdout);
        if (*cut_cmd) return res_cut(cut);
        return res_repair(repair);
    } catch (const ResError &e) {
        fflush(stdout);
        fprintf(stderr, "%s\n", e.what());
        return e.status();
    }
}
