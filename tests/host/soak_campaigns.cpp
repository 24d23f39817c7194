// The kill campaigns of scripts/soak: wfal-host killed at random moments for a given time, over
// and over, each file it leaves checked as the tests check it (kill_trials.h).
//
// Usage: soak_campaigns CAMPAIGN SECONDS [SEED]
//   CAMPAIGN: record-virtual, record-real (both also killed during start-up), notes, section
// Prints "CAMPAIGN TRIALS FILES RECORDS CORRUPT" on one line and every failure on standard error;
// the exit status is 1 when a file was corrupt or a trial went wrong.
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <map>
#include <random>
#include <string>

#include "kill_trials.h"
#include "support/result_file.h"

namespace {

constexpr long long VIEWED_RECORDS = 50000; // 30 MB at 300 points: a section copy takes a while
const std::u16string NOTES = u"Killed while these notes were written: \u00e9\u4e2d.";

// Every ninth recording is killed at any moment from the start of the process.
KillOutcome record(std::mt19937 &random, int trial, bool real) {
    const bool start_up = trial % 9 == 8;
    // On the real clock a record is written each second, so the trials wait longer.
    const double longest = real ? 2.5 : start_up ? 0.4 : 0.2;
    const double delay = std::uniform_real_distribution<double>(0.0, longest)(random);
    const std::vector<std::string> clock = {"--clock", real ? "real" : "virtual"};
    bool running = false;
    return kill_recording(UINT32(trial + 1), delay, start_up, clock, &running);
}

const std::string &viewed_source() {
    static const std::string bytes = [] {
        TempDeviceRoot root;
        ResultFileRecipe recipe;
        recipe.records = VIEWED_RECORDS;
        recipe.level = [](long long r, int p) { return INT16(-9000 + r % 97 * 13 + p); };
        result_file_write(root.dir() + "/src.res", recipe);
        return root.read("src.res");
    }();
    return bytes;
}

// NOTES in the script's UTF-8, written with the escapes the script reads, and the log's line of
// the answer, after which the module writes them.
const char NOTES_SCRIPT[] =
    "answer text \"Killed while these notes were written: \\xC3\\xA9\\xE4\\xB8\\xAD.\"\n"
    "tap \"Setup\"\ntap \"Notes\"\ntap \"Esc\"\ntap \"Esc\"\n";
const char NOTES_ANSWERED[] = "edit-text \"Write notes\" -> \"Killed while these notes were "
                              "written: \xC3\xA9\xE4\xB8\xAD.\"";

// A random moment between the start of the session and the time it took, unkilled, the first
// time; the first call runs it so.
double random_moment(std::mt19937 &random, const char *script, KillOutcome *first) {
    static std::map<std::string, double> whole;
    if (!whole.count(script)) {
        *first = kill_viewer(viewed_source(), script, NOTES, "", -1);
        whole[script] = first->seconds;
    }
    return std::uniform_real_distribution<double>(0.0, whole[script])(random);
}

// Every other trial kills the session at a random moment, mostly before the notes are written;
// the others within a few milliseconds of the answer, after which the module writes them at once.
KillOutcome notes(std::mt19937 &random, int trial) {
    KillOutcome first;
    if (trial % 2)
        return kill_viewer(viewed_source(), NOTES_SCRIPT, NOTES, NOTES_ANSWERED,
                           std::uniform_real_distribution<double>(0.0, 0.005)(random));
    const double delay = random_moment(random, NOTES_SCRIPT, &first);
    if (!first.why.empty()) return first;
    return kill_viewer(viewed_source(), NOTES_SCRIPT, NOTES, "", delay);
}

// The section's copy takes most of its session.
KillOutcome section(std::mt19937 &random) {
    static const char SCRIPT[] =
        "tap \"Setup\"\ntap \"Section\"\nanswer path \"\\\\USB\\\\sec.res\"\n"
        "tap \"Save\"\nwait 2\ntap \"Esc\"\ntap \"Esc\"\ntap \"Esc\"\n";
    KillOutcome first;
    const double delay = random_moment(random, SCRIPT, &first);
    if (!first.why.empty()) return first;
    return kill_viewer(viewed_source(), SCRIPT, NOTES, "", delay);
}

const std::string CAMPAIGNS[] = {"record-virtual", "record-real", "notes", "section"};

// One trial of `campaign` with its random numbers; `trial` counts from 0.
KillOutcome run(const std::string &campaign, std::mt19937 &random, int trial) {
    if (campaign == "notes") return notes(random, trial);
    if (campaign == "section") return section(random);
    return record(random, trial, campaign == "record-real");
}

} // namespace

int main(int argc, char **argv) {
    const std::string campaign = argc >= 3 ? argv[1] : "";
    if (std::find(std::begin(CAMPAIGNS), std::end(CAMPAIGNS), campaign) == std::end(CAMPAIGNS)) {
        fprintf(stderr, "usage: soak_campaigns record-virtual|record-real|notes|section SECONDS "
                        "[SEED]\n");
        return 2;
    }
    std::mt19937 random(argc > 3 ? unsigned(strtoul(argv[3], nullptr, 10)) : 20251206u);
    const auto end = std::chrono::steady_clock::now() + HostChild::Seconds(atof(argv[2]));
    long long trials = 0, files = 0, records = 0, corrupt = 0;
    while (std::chrono::steady_clock::now() < end) {
        const KillOutcome o = run(campaign, random, int(trials));
        trials++;
        files += o.checked;
        records += std::max(0LL, o.records);
        if (o.why.empty()) continue;
        corrupt++;
        fprintf(stderr, "soak: %s trial %lld: %s\n", campaign.c_str(), trials, o.why.c_str());
    }
    printf("%s %lld %lld %lld %lld\n", campaign.c_str(), trials, files, records, corrupt);
    return corrupt ? 1 : 0;
}
