#include "options.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <functional>
#include <sstream>

#include <CLI/CLI.hpp>

namespace {

constexpr int NUMBER_MAX = 0x7FFFFFFF;
constexpr size_t DEVICE_TEXT_MAX = 15;

// The help lists each option as "--name VALUE   what it does (default: ...)", and each mode
// with the arguments it takes ("view RESULT_PATH").
class HostHelp : public CLI::Formatter {
public:
    HostHelp() { column_width(39); }

    std::string make_option_opts(const CLI::Option *option) const override {
        bool named_value = option->nonpositional() && option->get_expected_max() != 0;
        return named_value ? " " + option->get_type_name() : "";
    }

    std::string make_option_desc(const CLI::Option *option) const override {
        std::string shown = option->get_required() ? "" : option->get_default_str();
        if (shown.empty()) return option->get_description();
        return option->get_description() + " (default: " + shown + ")";
    }

    // "test [RESULT_PATH]   run a spectrogram test; RESULT_PATH: ... (default: ...)"
    std::string make_subcommand(const CLI::App *mode) const override {
        std::string usage = mode->get_name(), what = mode->get_description();
        for (const CLI::Option *argument :
             mode->get_options([](const CLI::Option *o) { return o->get_positional(); })) {
            usage += " " + make_option_usage(argument);
            if (!argument->get_required())
                what += "; " + argument->get_name() + ": " + make_option_desc(argument);
        }
        std::ostringstream out;
        CLI::detail::format_help(out, usage, what, column_width_);
        return out.str();
    }
};

[[noreturn]] void refuse(const std::string &option, const std::string &value,
                         const std::string &why) {
    throw CLI::ValidationError(option, "\"" + value + "\" " + why);
}

bool read_time(const std::string &value, SYSTEMTIME *out) {
    unsigned y, mo, d, h, mi, s;
    char tail;
    static const unsigned DAYS[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (sscanf(value.c_str(), "%4u-%2u-%2u %2u:%2u:%2u%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6 ||
        y < 1980 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > DAYS[mo - 1] || h > 23 ||
        mi > 59 || s > 59 || (mo == 2 && d == 29 && y % 4 != 0))
        return false;
    // Zeller's rule for the day of the week (0 Sunday), as SYSTEMTIME counts it.
    unsigned yy = mo < 3 ? y - 1 : y, mm = mo < 3 ? mo + 12 : mo;
    unsigned dow = (d + 13 * (mm + 1) / 5 + yy + yy / 4 - yy / 100 + yy / 400 + 6) % 7;
    *out = SYSTEMTIME{WORD(y), WORD(mo), WORD(dow), WORD(d), WORD(h), WORD(mi), WORD(s), 0};
    return true;
}

std::string time_text(const SYSTEMTIME &t) {
    char text[64];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    return text;
}

// "NAME=BYTES" with NAME Internal or USB in any case, written as the volume spells it.
bool read_volume_size(const std::string &value, VolumeSize *out) {
    size_t eq = value.find('=');
    if (eq == std::string::npos) return false;
    std::string name = value.substr(0, eq);
    const char *bytes = value.c_str() + eq + 1;
    char *end = nullptr;
    errno = 0;
    long long n = strtoll(bytes, &end, 0);
    if (errno || end == bytes || *end || n < 0) return false;
    for (const char *volume : {"Internal", "USB"}) {
        if (strcasecmp(name.c_str(), volume) == 0) {
            *out = VolumeSize{volume, ULONGLONG(n)};
            return true;
        }
    }
    return false;
}

// A value check whose failure says what is wrong and whose help shows only the value's name.
CLI::Validator quiet(CLI::Validator check) {
    return check.description("");
}

const CLI::Validator NUMBER = quiet(CLI::Range(0, NUMBER_MAX));

// What the engine reports as its device name and serial number.
const CLI::Validator DEVICE_TEXT(
    [](const std::string &value) {
        bool printable = value.size() <= DEVICE_TEXT_MAX;
        for (char c : value)
            printable = printable && c >= 0x20 && c <= 0x7E;
        return printable ? std::string()
                         : "\"" + value + "\" is not printable ASCII of at most 15 characters";
    },
    "");

// An option whose value `read` takes into the options; a value it cannot take is refused with
// `why`. Given more than once, the last value counts (or each one: MultiOptionPolicy::TakeAll).
CLI::Option *add_read(CLI::App &app, const std::string &name,
                      const std::function<bool(const std::string &)> &read, const std::string &why,
                      const std::string &help) {
    auto take = [name, read, why](const std::vector<std::string> &values) {
        for (const std::string &value : values) {
            if (!read(value)) refuse(name, value, why);
        }
    };
    return app.add_option_function<std::vector<std::string>>(name, take, help)
        ->expected(1)
        ->allow_extra_args(false);
}

void add_module_options(CLI::App &app, HostOptions *o) {
    app.add_option("--device-root", o->device_root,
                   "folder of the instrument's file system, with \\Internal and \\USB")
        ->type_name("DIR");
    app.add_option("--settings", o->settings, "the module's settings file")->type_name("PATH");
    app.add_option("--language", o->language,
                   "number of the language (0: by the preferred-language name)")
        ->type_name("N")
        ->check(NUMBER);
    app.add_option("--language-file", o->language_file,
                   "language text file (empty: the module's built-in text)")
        ->type_name("PATH")
        ->default_str("none");
    app.add_option("--operator", o->operator_name, "operator name written into new results")
        ->type_name("NAME");
    app.add_option("--memory-reserve", o->memory_reserve, "bytes that must stay free in \\Internal")
        ->type_name("BYTES")
        ->check(NUMBER);
    app.add_option("--help-mask", o->help_mask,
                   "help keys shown: 1 test set-up, 2 Display set-up, 4 Save section")
        ->type_name("N")
        ->check(NUMBER);
}

void add_engine_options(CLI::App &app, HostOptions *o) {
    add_read(
        app, "--volume-size",
        [o](const std::string &value) {
            VolumeSize size;
            if (!read_volume_size(value, &size)) return false;
            o->volume_sizes.push_back(size);
            return true;
        },
        "is not NAME=BYTES with NAME Internal or USB",
        "simulated capacity of the volume Internal or USB (repeatable)")
        ->type_name("NAME=BYTES")
        ->default_str("the folder's real free space")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--wideband", o->wideband, "the engine reports the wideband option");
    app.add_flag("--no-probe", o->no_probe, "no high-impedance probe connected");
    app.add_option("--seed", o->seed, "seed of the simulated spectra")
        ->type_name("N")
        ->check(NUMBER);
    add_read(
        app, "--scenario",
        [o](const std::string &value) {
            if (value != "steady" && value != "field") return false;
            o->scenario = value == "steady" ? HOST_SCENARIO_STEADY : HOST_SCENARIO_FIELD;
            return true;
        },
        "is no scenario: steady or field",
        "the simulated line: steady carriers, or a line in the field whose disturbances come "
        "and go")
        ->type_name("steady|field")
        ->default_str("field on the desktop, steady headless");
    app.add_option("--device-name", o->device_name, "device name the engine reports")
        ->type_name("NAME")
        ->check(DEVICE_TEXT);
    app.add_option("--serial", o->serial, "serial number the engine reports")
        ->type_name("NAME")
        ->check(DEVICE_TEXT);
}

void add_clock_options(CLI::App &app, HostOptions *o) {
    add_read(
        app, "--clock",
        [o](const std::string &value) {
            if (value != "real" && value != "virtual") return false;
            o->clock = value == "real" ? HOST_CLOCK_REAL : HOST_CLOCK_VIRTUAL;
            return true;
        },
        "is no clock: real or virtual", "the clock")
        ->type_name("real|virtual")
        ->default_str("real on the desktop, virtual headless");
    add_read(
        app, "--start-time",
        [o](const std::string &value) { return read_time(value, &o->start_time); },
        "is no time \"YYYY-MM-DD hh:mm:ss\" (1980..2099)", "where the virtual clock starts")
        ->type_name("\"YYYY-MM-DD hh:mm:ss\"")
        ->default_str(time_text(o->start_time));
}

void add_screen_options(CLI::App &app, HostOptions *o) {
    app.add_option("--scale", o->scale, "size of the desktop window's pixels")
        ->type_name("1|2")
        ->check(quiet(CLI::Range(1, 2)));
    app.add_option("--screenshots", o->screenshots, "folder of print-screen and script shots")
        ->type_name("DIR");
    CLI::Option *headless =
        app.add_flag("--headless", o->headless, "show nothing; run the script (needs --script)");
    CLI::Option *script =
        app.add_option("--script", o->script, "script of taps, answers, waits and shots")
            ->type_name("FILE")
            ->default_str("none");
    headless->needs(script);
}

// The two modes, each with its result path: a proposal in test mode, the file to show in view.
void add_modes(CLI::App &app, HostOptions *o) {
    CLI::App *test = app.add_subcommand("test", "run a spectrogram test");
    test->add_option("RESULT_PATH", o->result_path, "the proposed result path");
    CLI::App *view = app.add_subcommand("view", "view a stored result file");
    view->add_option("RESULT_PATH", o->result_path, "the result file")->required();
    view->parse_complete_callback([o] { o->test_mode = false; });
    for (CLI::App *mode : {test, view})
        mode->group("Modes");
    app.require_subcommand(1);
}

// Each option with its value name, check and help; the default it shows is the one it holds
// in `o`. Options come before the mode; a value follows its option or is joined to it by "=".
void describe(CLI::App &app, HostOptions *o) {
    auto help = std::make_shared<HostHelp>();
    help->label("SUBCOMMAND", "MODE");
    app.formatter(help);
    app.footer("Paths beginning with a backslash are instrument paths (\\USB\\line1.res); other "
               "paths are on the PC\nand reached through a link \\PC in the device root.");
    app.option_defaults()->always_capture_default()->multi_option_policy(
        CLI::MultiOptionPolicy::TakeLast);
    add_module_options(app, o);
    add_engine_options(app, o);
    add_clock_options(app, o);
    add_screen_options(app, o);
    app.set_help_flag("--help", "this text");
    // A switch is off unless given, and takes no value.
    for (CLI::Option *option : app.get_options()) {
        option->disable_flag_override();
        if (option->get_expected_max() == 0 && option != app.get_help_ptr())
            option->default_str("off");
    }
    add_modes(app, o);
}

// The arguments as CLI11 takes them, last first. It reads "--name=" as an option still waiting
// for its value; here that is the empty value, as "--name ''" is (--language-file= for the
// module's built-in text).
std::vector<std::string> arguments(const CLI::App &app, int argc, char **argv) {
    std::vector<std::string> args;
    for (int i = argc - 1; i > 0; i--) {
        std::string arg = argv[i];
        const CLI::Option *option = arg.size() > 3 && arg.back() == '='
                                        ? app.get_option_no_throw(arg.substr(0, arg.size() - 1))
                                        : nullptr;
        if (option && option->get_expected_max() != 0) {
            args.push_back("");
            arg.pop_back();
        }
        args.push_back(arg);
    }
    return args;
}

} // namespace

HostOptions options_defaults() {
    HostOptions o;
    const char *data = getenv("XDG_DATA_HOME");
    const char *home = getenv("HOME");
    const char *local = getenv("LOCALAPPDATA"); // the user's data folder on Windows
    if (data && *data)
        o.device_root = std::string(data) + "/wfal-host/device";
    else if (local && *local)
        o.device_root = std::string(local) + "/wfal-host/device";
    else
        o.device_root = std::string(home && *home ? home : ".") + "/.local/share/wfal-host/device";
    return o;
}

OptionsResult options_parse(int argc, char **argv, HostOptions *options, std::string *message) {
    CLI::App app("", "wfal-host");
    describe(app, options);
    try {
        std::vector<std::string> args = arguments(app, argc, argv);
        app.parse(args);
    } catch (const CLI::CallForHelp &) {
        *message = app.help();
        return OPTIONS_HELP;
    } catch (const CLI::ParseError &e) {
        *message = e.what();
        // CLI11 says only that a subcommand is required, for a missing and an unknown mode alike.
        if (dynamic_cast<const CLI::RequiredError *>(&e) && app.get_subcommands().empty())
            *message = "the mode (missing or unknown) is test [RESULT_PATH] or view RESULT_PATH";
        return OPTIONS_ERROR;
    }
    return OPTIONS_RUN;
}
