#include "options.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

namespace {

// Every option reads its value (or none) into the options; false with `error` set when the value
// is not acceptable.
typedef bool (*OptionRead)(const char *value, HostOptions *o, std::string *error);

struct OptionDef {
    const char *name;
    const char *value_name; // null: a switch without a value
    const char *help;
    OptionRead read;
};

bool read_long(const char *value, long long low, long long high, long long *out) {
    errno = 0;
    char *end = nullptr;
    long long v = strtoll(value, &end, 0);
    if (errno || end == value || *end || v < low || v > high) return false;
    *out = v;
    return true;
}

bool read_int(const char *value, long long low, long long high, int *out, std::string *error) {
    long long v = 0;
    if (!read_long(value, low, high, &v)) {
        *error = std::string("\"") + value + "\" is no number in " + std::to_string(low) + ".." +
                 std::to_string(high);
        return false;
    }
    *out = int(v);
    return true;
}

bool read_time(const char *value, SYSTEMTIME *out, std::string *error) {
    unsigned y, mo, d, h, mi, s;
    char tail;
    static const int DAYS[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (sscanf(value, "%4u-%2u-%2u %2u:%2u:%2u%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6 ||
        y < 1980 || y > 2099 || mo < 1 || mo > 12 || d < 1 || int(d) > DAYS[mo - 1] || h > 23 ||
        mi > 59 || s > 59 || (mo == 2 && d == 29 && y % 4 != 0)) {
        *error = std::string("\"") + value + "\" is no time \"YYYY-MM-DD hh:mm:ss\" (1980..2099)";
        return false;
    }
    // Zeller's rule for the day of the week (0 Sunday), as SYSTEMTIME counts it.
    unsigned yy = mo < 3 ? y - 1 : y, mm = mo < 3 ? mo + 12 : mo;
    unsigned dow = (d + 13 * (mm + 1) / 5 + yy + yy / 4 - yy / 100 + yy / 400 + 6) % 7;
    *out = SYSTEMTIME{WORD(y), WORD(mo), WORD(dow), WORD(d), WORD(h), WORD(mi), WORD(s), 0};
    return true;
}

bool read_volume_size(const char *value, HostOptions *o, std::string *error) {
    const char *eq = strchr(value, '=');
    std::string name = eq ? std::string(value, size_t(eq - value)) : std::string();
    long long bytes = 0;
    if (strcasecmp(name.c_str(), "Internal") == 0) name = "Internal";
    if (strcasecmp(name.c_str(), "USB") == 0) name = "USB";
    if (!eq || (name != "Internal" && name != "USB") ||
        !read_long(eq + 1, 0, 0x7FFFFFFFFFFFFFFFLL, &bytes)) {
        *error = std::string("\"") + value + "\" is not NAME=BYTES with NAME Internal or USB";
        return false;
    }
    o->volume_sizes.push_back(VolumeSize{name, ULONGLONG(bytes)});
    return true;
}

bool read_clock(const char *value, HostOptions *o, std::string *error) {
    if (strcmp(value, "real") == 0) {
        o->clock = HOST_CLOCK_REAL;
    } else if (strcmp(value, "virtual") == 0) {
        o->clock = HOST_CLOCK_VIRTUAL;
    } else {
        *error = std::string("the clock is real or virtual, not \"") + value + "\"";
        return false;
    }
    return true;
}

bool read_ascii_name(const char *value, std::string *out, std::string *error) {
    bool printable = strlen(value) <= 15;
    for (const char *c = value; *c; c++)
        printable = printable && *c >= 0x20 && *c <= 0x7E;
    if (!printable) {
        *error = std::string("\"") + value + "\" is not printable ASCII of at most 15 characters";
        return false;
    }
    *out = value;
    return true;
}

const OptionDef OPTIONS[] = {
    {"device-root", "DIR", "folder of the instrument's file system, with \\Internal and \\USB",
     [](const char *v, HostOptions *o, std::string *) {
         o->device_root = v;
         return true;
     }},
    {"settings", "PATH", "the module's settings file",
     [](const char *v, HostOptions *o, std::string *) {
         o->settings = v;
         return true;
     }},
    {"language", "N", "number of the language (0: by the preferred-language name)",
     [](const char *v, HostOptions *o, std::string *e) {
         return read_int(v, 0, 0x7FFFFFFF, &o->language, e);
     }},
    {"language-file", "PATH", "language text file (empty: the module's built-in text)",
     [](const char *v, HostOptions *o, std::string *) {
         o->language_file = v;
         return true;
     }},
    {"operator", "NAME", "operator name written into new results",
     [](const char *v, HostOptions *o, std::string *) {
         o->operator_name = v;
         return true;
     }},
    {"memory-reserve", "BYTES", "bytes that must stay free in \\Internal",
     [](const char *v, HostOptions *o, std::string *e) {
         return read_int(v, 0, 0x7FFFFFFF, &o->memory_reserve, e);
     }},
    {"help-mask", "N", "help keys shown: 1 test set-up, 2 Display set-up, 4 Save section",
     [](const char *v, HostOptions *o, std::string *e) {
         return read_int(v, 0, 0x7FFFFFFF, &o->help_mask, e);
     }},
    {"volume-size", "NAME=BYTES", "simulated capacity of the volume Internal or USB (repeatable)",
     [](const char *v, HostOptions *o, std::string *e) { return read_volume_size(v, o, e); }},
    {"wideband", nullptr, "the engine reports the wideband option",
     [](const char *, HostOptions *o, std::string *) {
         o->wideband = true;
         return true;
     }},
    {"no-probe", nullptr, "no high-impedance probe connected",
     [](const char *, HostOptions *o, std::string *) {
         o->no_probe = true;
         return true;
     }},
    {"seed", "N", "seed of the simulated spectra",
     [](const char *v, HostOptions *o, std::string *e) {
         int seed = 0;
         bool ok = read_int(v, 0, 0x7FFFFFFF, &seed, e);
         o->seed = UINT32(seed);
         return ok;
     }},
    {"device-name", "NAME", "device name the engine reports",
     [](const char *v, HostOptions *o, std::string *e) {
         return read_ascii_name(v, &o->device_name, e);
     }},
    {"serial", "NAME", "serial number the engine reports",
     [](const char *v, HostOptions *o, std::string *e) {
         return read_ascii_name(v, &o->serial, e);
     }},
    {"clock", "real|virtual", "the clock (default: real on the desktop, virtual headless)",
     [](const char *v, HostOptions *o, std::string *e) { return read_clock(v, o, e); }},
    {"start-time", "\"YYYY-MM-DD hh:mm:ss\"", "where the virtual clock starts",
     [](const char *v, HostOptions *o, std::string *e) { return read_time(v, &o->start_time, e); }},
    {"scale", "1|2", "size of the desktop window's pixels",
     [](const char *v, HostOptions *o, std::string *e) { return read_int(v, 1, 2, &o->scale, e); }},
    {"screenshots", "DIR", "folder of print-screen and script shots",
     [](const char *v, HostOptions *o, std::string *) {
         o->screenshots = v;
         return true;
     }},
    {"headless", nullptr, "show nothing; run the script (needs --script)",
     [](const char *, HostOptions *o, std::string *) {
         o->headless = true;
         return true;
     }},
    {"script", "FILE", "script of taps, answers, waits and shots",
     [](const char *v, HostOptions *o, std::string *) {
         o->script = v;
         return true;
     }},
};

std::string default_text(const OptionDef &d, const HostOptions &o) {
    std::string n = d.name;
    if (n == "device-root") return o.device_root;
    if (n == "settings") return o.settings;
    if (n == "language") return std::to_string(o.language);
    if (n == "language-file") return o.language_file.empty() ? "none" : o.language_file;
    if (n == "operator") return o.operator_name;
    if (n == "memory-reserve") return std::to_string(o.memory_reserve);
    if (n == "help-mask") return std::to_string(o.help_mask);
    if (n == "volume-size") return "the folder's real free space";
    if (n == "seed") return std::to_string(o.seed);
    if (n == "device-name") return o.device_name;
    if (n == "serial") return o.serial;
    if (n == "start-time") {
        char text[64];
        const SYSTEMTIME &t = o.start_time;
        snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                 t.wHour, t.wMinute, t.wSecond);
        return text;
    }
    if (n == "scale") return std::to_string(o.scale);
    if (n == "screenshots") return o.screenshots;
    if (n == "script") return "none";
    if (n == "clock") return "";
    return "off";
}

const OptionDef *find_option(const std::string &name) {
    for (const OptionDef &d : OPTIONS) {
        if (name == d.name) return &d;
    }
    return nullptr;
}

// One option at argv[*i]; `*i` moves past its value.
bool parse_option(int argc, char **argv, int *i, HostOptions *o, std::string *error) {
    std::string arg = argv[*i] + 2;
    size_t eq = arg.find('=');
    std::string name = arg.substr(0, eq);
    const OptionDef *d = find_option(name);
    if (!d) {
        *error = "unknown option --" + name;
        return false;
    }
    if (!d->value_name) {
        if (eq != std::string::npos) *error = "--" + name + " takes no value";
        return eq == std::string::npos && d->read(nullptr, o, error);
    }
    std::string value;
    if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
    } else if (*i + 1 < argc) {
        value = argv[++*i];
    } else {
        *error = "--" + name + " needs a value " + d->value_name;
        return false;
    }
    if (d->read(value.c_str(), o, error)) return true;
    *error = "--" + name + ": " + *error;
    return false;
}

bool parse_command(int count, char **words, HostOptions *o, std::string *error) {
    std::string mode = count > 0 ? words[0] : "";
    if (mode == "test" && count <= 2) {
        o->test_mode = true;
        o->result_path = count == 2 ? words[1] : HOST_DEFAULT_RESULT_PATH;
        return true;
    }
    if (mode == "view" && count == 2) {
        o->test_mode = false;
        o->result_path = words[1];
        return true;
    }
    *error =
        count == 0 ? "test or view expected" : "expected test [RESULT_PATH] or view RESULT_PATH";
    return false;
}

} // namespace

HostOptions options_defaults() {
    HostOptions o;
    const char *data = getenv("XDG_DATA_HOME");
    const char *home = getenv("HOME");
    if (data && *data)
        o.device_root = std::string(data) + "/wfal-host/device";
    else
        o.device_root = std::string(home && *home ? home : ".") + "/.local/share/wfal-host/device";
    return o;
}

OptionsResult options_parse(int argc, char **argv, HostOptions *options, std::string *error) {
    int i = 1;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; i++) {
        if (strcmp(argv[i], "--help") == 0) return OPTIONS_HELP;
        if (!parse_option(argc, argv, &i, options, error)) return OPTIONS_ERROR;
    }
    if (!parse_command(argc - i, argv + i, options, error)) return OPTIONS_ERROR;
    if (options->headless && options->script.empty()) {
        *error = "--headless needs --script FILE";
        return OPTIONS_ERROR;
    }
    return OPTIONS_RUN;
}

void options_print_help(FILE *out) {
    HostOptions defaults = options_defaults();
    fprintf(out, "usage: wfal-host [OPTIONS] test [RESULT_PATH]   run a spectrogram test "
                 "(RESULT_PATH: the proposed result path, default " HOST_DEFAULT_RESULT_PATH ")\n"
                 "       wfal-host [OPTIONS] view RESULT_PATH     view a stored result file\n\n"
                 "Paths beginning with a backslash are instrument paths (\\USB\\line1.res); other "
                 "paths are on the PC\nand reached through a link \\PC in the device root.\n\n"
                 "Options:\n");
    for (const OptionDef &d : OPTIONS) {
        std::string left = std::string("--") + d.name;
        if (d.value_name) left += std::string(" ") + d.value_name;
        std::string def = default_text(d, defaults);
        fprintf(out, "  %-36s %s%s%s%s\n", left.c_str(), d.help,
                def.empty() ? "" : " (default: ", def.c_str(), def.empty() ? "" : ")");
    }
    fprintf(out, "  %-36s %s\n", "--help", "this text");
}
