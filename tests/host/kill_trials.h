// wfal-host killed with SIGKILL at a random moment of a recording, of a notes write or of a
// section save, and the files it leaves checked: the result file's header as the viewer checks
// it, every whole record equal to the simulated engine's (or the source's) record of its second,
// and a viewed source unchanged outside its notes. Each trial gives an outcome instead of failing
// a test, so that the tests and the soak run share it.
#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include <acqsim.h>
#include <winlayer.h>

#include "host_runner.h"
#include "resultfile/result_header.h"

// A result file as the viewer would take it: the module's header check on its instrument path.
// The packed header is kept aligned, so that its fields can be read in place.
struct Recorded {
    alignas(8) ResultHeader header = {};
    bool accepted = false;
    LONGLONG size = 0;
    std::string bytes;
};

// `name` is the file under the folder's device root, with forward slashes ("USB/line1.res").
inline Recorded read_recorded(const HostFolder &folder, const std::string &name = "USB/line1.res") {
    Recorded r;
    wl_fs_set_root(folder.device().c_str());
    std::string path = "\\" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    const std::u16string instrument(path.begin(), path.end());
    r.accepted =
        header_check_file(instrument.c_str(), &r.header, &r.size) && header_accepted(r.header);
    r.bytes = host_read_file(folder.device() + "/" + name);
    return r;
}

// Compares the whole records of `r` and the start of the next with `expected(i)`, the bytes that
// record i must hold. The number of whole records, or -1 with `why` saying which one differs.
template <typename Expected>
long long compare_records(const Recorded &r, Expected expected, std::string *why) {
    const long long count = result_record_count(LONGLONG(r.bytes.size()), r.header);
    const size_t record_bytes = 2 * size_t(r.header.points);
    for (long long i = 0; i <= count; i++) {
        const size_t at = RESULT_HEADER_SIZE + size_t(i) * record_bytes;
        if (i == count && at == r.bytes.size()) break;
        const std::string record = expected(i);
        const size_t length = std::min(record_bytes, r.bytes.size() - at);
        if (record.size() != record_bytes || r.bytes.compare(at, length, record, 0, length) != 0) {
            *why = "record " + std::to_string(i) + " of " + std::to_string(count) + " differs (" +
                   std::to_string(length) + " bytes)";
            return -1;
        }
    }
    return count;
}

// Each record must be the engine's spectrum of its second for the header's set-up.
inline long long engine_records(const Recorded &r, UINT32 seed, std::string *why) {
    const ResultHeader &h = r.header;
    AcqSimMeasure m = {seed, WORD(h.impedance), DWORD(h.start_frequency), DWORD(h.frequency_step),
                       WORD(h.points)};
    const auto record = [&](long long i) {
        std::string levels(size_t(2 * h.points), '\0');
        return acqsim_spectrum(&m, ULONGLONG(i), reinterpret_cast<INT16 *>(&levels[0])) ? levels
                                                                                        : "";
    };
    return compare_records(r, record, why);
}

// What one trial saw and found.
struct KillOutcome {
    bool checked = false;   // a file was there to check
    long long records = -1; // whole records compared
    std::string why;        // empty when everything held
    double seconds = 0;     // how long the child ran
};

inline KillOutcome kill_failed(const std::string &why) {
    KillOutcome o;
    o.why = why;
    return o;
}

// Waits until the log has `line`; false when the child ended or 30 s passed first.
inline bool wait_for_line(const HostFolder &folder, HostChild &child, const std::string &line) {
    for (int waited = 0; !folder.logged(line); waited++) {
        if (waited >= 15000 || child.ended()) return false;
        HostChild::sleep(0.002);
    }
    return true;
}

// Lets `delay` seconds pass, watching the size of `native`; the largest size seen.
inline long long watch_size(const std::string &native, double delay) {
    long long seen = 0;
    struct stat st;
    for (auto end = std::chrono::steady_clock::now() + HostChild::Seconds(delay);
         std::chrono::steady_clock::now() < end; HostChild::sleep(0.001))
        if (stat(native.c_str(), &st) == 0) seen = std::max<long long>(seen, st.st_size);
    return seen;
}

// A recording onto "\USB\line1.res" killed `delay` seconds after the log says that the test runs
// (or after the start of the process, `during_start_up`). A record another process saw before
// the kill had left the recording's buffers and must be there. Once the log says the test runs,
// the file must open; before that it may be missing or empty. A write cut by the kill stops at a
// page boundary, so a partial record can only end there: a recording that buffered its records
// would leave records cut anywhere. `running` tells whether the test had started.
inline KillOutcome kill_recording(UINT32 seed, double delay, bool during_start_up,
                                  const std::vector<std::string> &clock, bool *running) {
    constexpr int RECORD_BYTES = 2 * 300; // the default range: 300 points
    HostFolder folder;
    std::vector<std::string> args = clock;
    args.insert(args.end(), {"--seed", std::to_string(seed), "test"});
    HostChild child(folder, folder.headless("answer path \"\\\\USB\\\\line1.res\"\ntap \"Name\"\n"
                                            "tap \"Start\"\nwait 1000000\n",
                                            args));
    if (!during_start_up && !wait_for_line(folder, child, "test-running 1"))
        return kill_failed("the test did not start: " + folder.out());
    const std::string native = folder.device() + "/USB/line1.res";
    const long long seen = watch_size(native, delay);
    const int status = child.finish(0);
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL)
        return kill_failed("not killed: status " + std::to_string(status));
    *running = folder.logged("test-running 1");
    struct stat st;
    if (!*running && (stat(native.c_str(), &st) != 0 || st.st_size == 0)) return KillOutcome{};

    KillOutcome o;
    o.checked = true;
    const Recorded r = read_recorded(folder);
    const long long partial = (r.size - RESULT_HEADER_SIZE) % RECORD_BYTES;
    if (!r.accepted) return kill_failed("refused, " + std::to_string(r.bytes.size()) + " bytes");
    if (r.header.points != 300 || LONGLONG(r.bytes.size()) != r.size || r.size < seen)
        o.why = "points " + std::to_string(r.header.points) + ", size " + std::to_string(r.size) +
                " after " + std::to_string(seen) + " seen";
    else if (partial != 0 && r.size % 4096 != 0)
        o.why = "a partial record off a page boundary: size " + std::to_string(r.size);
    else
        o.records = engine_records(r, seed, &o.why);
    return o;
}

// A stored result file viewed headless by `script`, killed `delay` seconds after the log shows
// `line` (after the start when it is empty), or never when `delay` is negative: the session then
// runs to its end. The source must keep every byte outside its notes
// field, and its notes must be the old ones or all of `notes`; a section written into
// "\USB\sec.res" must hold a header the viewer takes and then the source's records from the first
// on, the last one possibly cut.
inline KillOutcome kill_viewer(const std::string &source, const std::string &script,
                               const std::u16string &notes, const std::string &line, double delay) {
    HostFolder folder;
    std::filesystem::create_directories(folder.device() + "/USB");
    const std::string native = folder.device() + "/USB/src.res";
    std::ofstream(native, std::ios::binary) << source;
    const auto start = std::chrono::steady_clock::now();
    HostChild child(folder, folder.headless(script, {"view", "\\USB\\src.res"}));
    if (delay >= 0 && !line.empty() && !wait_for_line(folder, child, line))
        return kill_failed("the log never showed " + line + ": " + folder.out());
    if (delay >= 0) HostChild::sleep(delay);
    const int status = child.finish(delay >= 0 ? 0 : 30);
    if (status == -1) return kill_failed("wfal-host did not start");

    KillOutcome o;
    o.checked = true;
    o.seconds = HostChild::Seconds(std::chrono::steady_clock::now() - start).count();
    const std::string after = host_read_file(native);
    const size_t at = offsetof(ResultHeader, notes), size = sizeof(ResultHeader::notes);
    std::string written(size, '\0');
    memcpy(&written[0], notes.data(), std::min(size, notes.size() * 2));
    const std::string field = after.size() == source.size() ? after.substr(at, size) : "";
    if (after.size() != source.size() || after.compare(0, at, source, 0, at) != 0 ||
        after.compare(at + size, std::string::npos, source, at + size) != 0)
        o.why = "the source changed outside its notes";
    else if (field != source.substr(at, size) && field != written)
        o.why = "the source's notes are neither the old nor the new ones";
    if (!o.why.empty() || !std::filesystem::exists(folder.device() + "/USB/sec.res")) return o;
    const Recorded section = read_recorded(folder, "USB/sec.res");
    if (section.bytes.empty()) return o;
    if (!section.accepted) {
        o.why = "a section of " + std::to_string(section.bytes.size()) +
                " bytes that the viewer refuses";
        return o;
    }
    const size_t record = 2 * size_t(section.header.points);
    o.records = compare_records(
        section,
        [&](long long i) { return source.substr(RESULT_HEADER_SIZE + size_t(i) * record, record); },
        &o.why);
    return o;
}
