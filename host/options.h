// The command line of wfal-host: the mode, the result path and every option with its default.
#pragma once

#include <stdio.h>

#include <string>
#include <vector>

#include <windows.h>

// The result path that test mode proposes when none is given.
#define HOST_DEFAULT_RESULT_PATH "\\Internal\\result.res"

enum HostClock { HOST_CLOCK_DEFAULT, HOST_CLOCK_REAL, HOST_CLOCK_VIRTUAL };
enum HostScenario { HOST_SCENARIO_DEFAULT, HOST_SCENARIO_STEADY, HOST_SCENARIO_FIELD };

struct VolumeSize {
    std::string volume; // "Internal" or "USB"
    ULONGLONG bytes;
};

struct HostOptions {
    bool test_mode = true;
    std::string result_path = HOST_DEFAULT_RESULT_PATH; // an instrument path, or a path on the PC
    std::string device_root;
    std::string settings = "\\Internal\\wfal.set";
    int language = 1;
    std::string language_file; // empty: the module's built-in text
    std::string operator_name = "Operator";
    int memory_reserve = 1048576;
    int help_mask = 7;
    std::vector<VolumeSize> volume_sizes;
    bool wideband = false;
    bool no_probe = false;
    UINT32 seed = 1;
    HostScenario scenario = HOST_SCENARIO_DEFAULT; // field on the desktop, steady headless
    std::string device_name = "SIMULATOR";
    std::string serial = "SIM0000001";
    HostClock clock = HOST_CLOCK_DEFAULT; // real on the desktop, virtual headless
    SYSTEMTIME start_time = {2025, 1, 1, 6, 9, 0, 0, 0};
    int scale = 1;
    std::string screenshots = "screenshots";
    bool headless = false;
    std::string script; // empty: none
};

enum OptionsResult { OPTIONS_RUN, OPTIONS_HELP, OPTIONS_ERROR };

// The defaults, with the device root under the user's data folder.
HostOptions options_defaults();
// Reads argv over `options`, which holds the defaults that the help shows. `message` is the help
// text, or what is wrong with the command line.
OptionsResult options_parse(int argc, char **argv, HostOptions *options, std::string *message);
