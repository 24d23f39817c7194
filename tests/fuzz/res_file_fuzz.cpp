// Arbitrary bytes as a result file through the commands of wfal-res: each either refuses the file
// with its status or answers, never harms the file, and repair keeps exactly the header and the
// whole records. The picture is left out: it reads records as csv and stats do, and its font
// engine keeps caches for the process, which the leak check would count against an input.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <functional>
#include <string>

#include "commands.h"
#include "fuzz_dir.h"
#include "result_reader.h"

namespace {

int run(const std::function<int()> &command) {
    try {
        return command();
    } catch (const ResError &e) {
        return e.status();
    }
}

long long file_size(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_dir_make();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_dir_write("fuzz.res", data, size);
    const std::string in = fuzz_root().dir() + "/fuzz.res", out = fuzz_root().dir() + "/out";
    FILE *null = fopen("/dev/null", "w");
    CsvOptions csv;
    csv.file = in, csv.layout = size % 3 == 0 ? "wide" : size % 3 == 1 ? "long" : "sweep";
    EventsOptions events;
    events.file = in, events.threshold = -50, events.change_on = size % 2 == 0;
    StatsOptions stats;
    stats.file = in;
    CopyOptions cut;
    cut.file = in, cut.out = out + ".cut", cut.section = {"#1", "+3"};
    CopyOptions repair;
    repair.file = in, repair.out = out + ".res";
    const std::function<int()> commands[] = {
        [&] { return res_info({in}, true, null, null); },
        [&] { return res_check({in}, null, null); },
        [&] { return res_csv(csv, null); },
        [&] { return res_events(events, null); },
        [&] { return res_stats(stats, null); },
        [&] { return res_cut(cut); },
    };
    for (const auto &command : commands) {
        const int status = run(command);
        if (status < RES_OK || status > RES_BAD_FILE) abort();
    }
    const int repaired = run([&] { return res_repair(repair); });
    fclose(null);
    if (file_size(in) != (long long)size) abort();
    if (repaired == RES_OK) {
        const ResultFile file(in);
        if (file_size(repair.out) != RESULT_HEADER_SIZE + file.records() * file.record_bytes())
            abort();
    } else if (file_size(repair.out) != -1) {
        abort();
    }
    remove(repair.out.c_str()), remove(cut.out.c_str());
    return 0;
}
