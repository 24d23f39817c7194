// Arbitrary bytes as wfal-host's command line, the arguments split at zero bytes: the parse ends
// with a run, the help or a message, never with an escaping exception; a run's options are in
// their ranges, and an error leaves a message that says what is wrong.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "options.h"

namespace {

constexpr int MAX_ARGUMENTS = 64;

void check(bool ok, const char *what) {
    if (ok) return;
    fprintf(stderr, "command_line_fuzz: %s\n", what);
    abort();
}

bool printable(const std::string &text) {
    for (char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return text.size() <= 15;
}

bool valid_time(const SYSTEMTIME &t) {
    static const int DAYS[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return t.wYear >= 1980 && t.wYear <= 2099 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
           t.wDay <= DAYS[t.wMonth - 1] && t.wHour <= 23 && t.wMinute <= 59 && t.wSecond <= 59 &&
           t.wDayOfWeek <= 6 && (t.wMonth != 2 || t.wDay < 29 || t.wYear % 4 == 0);
}

void check_run(const HostOptions &o) {
    check(o.language >= 0 && o.memory_reserve >= 0 && o.help_mask >= 0 && o.seed <= 0x7FFFFFFF,
          "a number off its range");
    check(o.scale == 1 || o.scale == 2, "a scale that is not 1 or 2");
    check(printable(o.device_name) && printable(o.serial), "a device text the engine refuses");
    check(valid_time(o.start_time), "a start time that is no date");
    for (const VolumeSize &v : o.volume_sizes)
        check(v.volume == "Internal" || v.volume == "USB", "a volume of another name");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<std::string> args = {"wfal-host"};
    const std::string text(reinterpret_cast<const char *>(data), size);
    for (size_t start = 0; start < text.size() && args.size() <= MAX_ARGUMENTS;) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos) end = text.size();
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    HostOptions options = options_defaults();
    std::string message;
    switch (options_parse(int(args.size()), argv.data(), &options, &message)) {
    case OPTIONS_RUN: check_run(options); break;
    // The help of the whole command line, or of the mode given with it.
    case OPTIONS_HELP:
        check(message.find("Usage: wfal-host") != std::string::npos, "a help without its usage");
        break;
    case OPTIONS_ERROR: check(!message.empty(), "an error without a message"); break;
    }
    return 0;
}
