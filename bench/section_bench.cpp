// Save section of about 1 GB (records 400,000 to 2,189,568, 300 points each) out of 30 days of
// records (2,592,000 records, 1.55 GB), copied one record at a time as the dialog copies it,
// asking for the stop request every 300 records. Beside it, in the same run, the plain copy of
// the same bytes in 1 MiB reads and writes through the module's stream functions; the figure
// ("ratio") is the plain copy's time over the section copy's, by wall time and by processor
// time. The source is the file Find's benchmark uses ($WFAL_BENCH_TMP, else /tmp,
// wfal_find_bench/day.res), made with the same levels if it is missing; an untimed plain copy
// warms the page cache first. The copies go to its "copies" folder, a link to /dev/shm where
// that can be had, and each is removed after its iteration.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>
#include <time.h>

#include <chrono>
#include <string>
#include <vector>

#include <strsafe.h>
#include <windows.h>
#include <winlayer.h>

#include "module/state.h"
#include "reports/save_section.h"

#include "month_file.h"

namespace {

constexpr int FIRST = 400000;
constexpr int COUNT = 1789569; // 1 GiB of levels
constexpr long long SECTION_BYTES = RESULT_HEADER_SIZE + COUNT * RECORD_BYTES;
constexpr size_t BLOCK_BYTES = 1 << 20;
// Indexes of the section that are multiples of the poll step.
constexpr int POLLS = (FIRST + COUNT - 1) / SECTION_POLL_RECORDS -
                      (FIRST + SECTION_POLL_RECORDS - 1) / SECTION_POLL_RECORDS + 1;

std::string g_dir;
std::string g_copies; // native folder of the copies
int g_polls = 0;

INT_PTR CALLBACK never_stop(int code, INT_PTR, INT_PTR, INT_PTR) {
    if (code == HOST_STOP_REQUESTED) g_polls++;
    return 0;
}

// Maps the bench folder as the device root and loads the file as the viewer would.
bool prepare() {
    g_dir = month_folder();
    if (g_dir.empty()) return false;
    // The copies go to memory where it can be had, so that the disk's write-back of one copy
    // does not slow the next: both copies then measure their own work.
    const char *memory = "/dev/shm/wfal_section_bench";
    g_copies = g_dir + "/copies";
    unlink(g_copies.c_str());
    bool in_memory =
        (mkdir(memory, 0755) == 0 || errno == EEXIST) && symlink(memory, g_copies.c_str()) == 0;
    if (!in_memory) mkdir(g_copies.c_str(), 0755);
    wl_fs_set_root(g_dir.c_str());
    StringCchCopyW(wfal.result_path, PATH_CHARS, TEXT("\\day.res"));
    if (!header_check_file(wfal.result_path, &wfal.header, &wfal.file_size)) return false;
    wfal.host = never_stop;
    wfal.view = ViewState{};
    wfal.view.points = POINTS;
    wfal.view.record_size = int(RECORD_BYTES);
    wfal.view.data_offset = RESULT_HEADER_SIZE;
    wfal.section_header = wfal.header;
    wfal.section_start = FIRST;
    wfal.section_end = FIRST + COUNT - 1;
    return true;
}

// Size of a copy, which is removed.
long long take_copy(const char *name) {
    std::string path = g_copies + "/" + name;
    struct stat st;
    long long size = stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
    remove(path.c_str());
    return size;
}

// The baseline: the header and the same records in 1 MiB reads and writes.
bool plain_copy(std::vector<char> *buffer, Took *took) {
    Timer timer;
    FILE *in = _wfopen(wfal.result_path, TEXT("rb"));
    FILE *out = _wfopen(TEXT("\\copies\\plain.res"), TEXT("wb"));
    bool ok = in && out && fwrite(&wfal.section_header, sizeof(ResultHeader), 1, out) == 1 &&
              fseek(in, long(RESULT_HEADER_SIZE + FIRST * RECORD_BYTES), SEEK_SET) == 0;
    long long left = COUNT * RECORD_BYTES;
    while (ok && left > 0) {
        size_t want = left < (long long)buffer->size() ? size_t(left) : buffer->size();
        ok = fread(buffer->data(), 1, want, in) == want &&
             fwrite(buffer->data(), 1, want, out) == want;
        left -= (long long)want;
    }
    if (in) fclose(in);
    if (out && fclose(out) != 0) ok = false;
    *took = timer.took();
    return take_copy("plain.res") == SECTION_BYTES && ok;
}

bool section_copy(Took *took) {
    g_polls = 0;
    Timer timer;
    int outcome = section_write_file(NULL, TEXT("\\copies\\section.res"));
    *took = timer.took();
    return take_copy("section.res") == SECTION_BYTES && outcome == SECTION_SAVED &&
           g_polls == POLLS;
}

void BM_SaveSection(benchmark::State &state) {
    std::vector<char> buffer(BLOCK_BYTES);
    if (!prepare()) {
        state.SkipWithError("cannot make or load the result file");
        return;
    }
    beside_baseline(
        state, double(SECTION_BYTES), "section", [](Took *took) { return section_copy(took); },
        [&](Took *took) { return plain_copy(&buffer, took); },
        "a copy failed or came out of the wrong size");
}

BENCHMARK(BM_SaveSection)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
