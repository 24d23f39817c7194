// info and check: the header, the records and the file's health.
#include <string.h>

#include <string>

#include <winlayer.h>

#include "commands.h"
#include "record_time.h"
#include "shown_levels.h"

namespace {

// Whether the seal (prefix, date text, checksum) is the one header_seal gives the fields.
bool seal_matches(const ResultHeader &h) {
    ResultHeader sealed = h;
    header_seal(&sealed);
    return memcmp(&sealed, &h, offsetof(ResultHeader, magic)) == 0;
}

std::string health(const ResultFile &f) {
    std::string text = f.torn_bytes() == 0
                           ? "whole records"
                           : "torn last record (" + std::to_string(f.torn_bytes()) + " of " +
                                 std::to_string(f.record_bytes()) + " bytes)";
    if (!seal_matches(f.header())) text += "; header seal does not match its fields";
    return text;
}

bool healthy(const ResultFile &f) {
    return f.torn_bytes() == 0 && seal_matches(f.header());
}

const char *input_name(int input) {
    switch (input) {
    case 0: return "terminated";
    case 1: return "unterminated";
    case 2: return "high-impedance probe";
    default: return "unknown";
    }
}

std::string json_text(const std::string &s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\', out += char(c);
        } else if (c < 0x20) {
            char esc[8];
            snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string duration_text(long long seconds) {
    char text[48];
    snprintf(text, sizeof text, "%lldd %02lld:%02lld:%02lld", seconds / 86400, seconds / 3600 % 24,
             seconds / 60 % 60, seconds % 60);
    return text;
}

// (name, value, is a number) in the order shown.
struct Item {
    const char *name;
    std::string value;
    bool number;
};

std::vector<Item> info_items(const ResultFile &f) {
    const ResultHeader &h = f.header();
    const long long n = f.records();
    const std::string stop = n > 0 ? record_time_iso(f.start_seconds() + DWORD(n - 1)) : "";
    return {
        {"file", f.path(), false},
        {"device", header_field(h.device), false},
        {"serial", header_field(h.serial), false},
        {"software_version", header_field(h.software_version), false},
        {"operator", header_field(h.operator_name), false},
        {"start", record_time_iso(f.start_seconds()), false},
        {"range_hz", std::to_string(h.range), true},
        {"impedance_ohm", std::to_string(h.impedance), true},
        {"input", input_name(h.input), false},
        {"gain_db", h.gain == -1 ? "auto" : std::to_string(h.gain), h.gain != -1},
        {"points", std::to_string(h.points), true},
        {"first_frequency_hz", hz_text(point_hz(h, 0)), true},
        {"frequency_step_hz", hz_text(h.frequency_step / 2.0), true},
        {"records", std::to_string(n), true},
        {"duration_s", std::to_string(n), true},
        {"duration", duration_text(n), false},
        {"stop", stop, false},
        {"torn_bytes", std::to_string(f.torn_bytes()), true},
        {"health", health(f), false},
        {"notes", header_field(h.notes), false},
    };
}

void print_text(const std::vector<Item> &items, FILE *out) {
    for (const Item &item : items) {
        std::string value = item.value;
        for (size_t at = 0; (at = value.find('\n', at)) != std::string::npos; at += 2)
            value.replace(at, 1, "\n  ");
        fprintf(out, "%-20s %s\n", (std::string(item.name) + ":").c_str(), value.c_str());
    }
}

void print_json(const std::vector<Item> &items, FILE *out, bool first) {
    fprintf(out, "%s{", first ? "" : ",\n");
    for (size_t i = 0; i < items.size(); ++i) {
        const Item &it = items[i];
        fprintf(out, "%s%s: %s", i ? ", " : "", json_text(it.name).c_str(),
                it.number ? it.value.c_str() : json_text(it.value).c_str());
    }
    fprintf(out, "}");
}

} // namespace

int res_info(const std::vector<std::string> &files, bool json, FILE *out, FILE *err) {
    int status = RES_OK;
    bool first = true;
    if (json) fprintf(out, "[");
    for (const std::string &path : files) {
        try {
            ResultFile f(path);
            const std::vector<Item> items = info_items(f);
            if (json) print_json(items, out, first);
            if (!json) print_text(items, out), fprintf(out, "\n");
            first = false;
        } catch (const ResError &e) {
            fprintf(err, "%s\n", e.what());
            status = RES_BAD_FILE;
        }
    }
    if (json) fprintf(out, "]\n");
    return status;
}

// Status 1 when a file can be read but needs attention (a torn last record, a broken seal).
int res_check(const std::vector<std::string> &files, FILE *out, FILE *err) {
    int status = RES_OK;
    for (const std::string &path : files) {
        try {
            ResultFile f(path);
            fprintf(out, "%s: %lld records, %s\n", path.c_str(), f.records(), health(f).c_str());
            if (!healthy(f) && status == RES_OK) status = RES_ATTENTION;
        } catch (const ResError &e) {
            fprintf(err, "%s\n", e.what());
            status = RES_BAD_FILE;
        }
    }
    return status;
}
