// Whole flows of the real module through wfal-host, one case per tests/flows/NAME.flow: the
// files a flow starts with, one or more headless runs (options and script), and what each run
// must show (its log, its error output and exit status) and the device's files after the last
// run (size and hash). Screenshots a script takes are compared with
// tests/golden/flow_NAME_SHOT.png. With WFAL_UPDATE_GOLDEN=1 the expected blocks of each flow are
// written from what it did.
//
//   # comment                         (anywhere)
//   file PATH key=value ...           a result file (ResultFileRecipe's fields, below)
//   text PATH "STRING"                a file with the bytes of the string (script escapes)
//   run ARG ...                       a run with these options and mode ("..." quotes an argument)
//     SCRIPT LINE                     (indented by two spaces; "@FILE": a file's lines)
//   res ARG ...                       a run of wfal-res in the device root (paths relative to it)
//     shot "FILE.png"                 a picture it wrote, compared as a screenshot is
//   log
//     LINE                            stdout, then "stderr: LINE"s, then "exit N" unless 0 (paths
//                                     in the run's folder relative to it)
//   files
//     PATH SIZE FNV1A64               every regular file under the device root after the runs
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "host_runner.h"
#include "support/result_file.h"

namespace {

namespace fs = std::filesystem;

const std::string FLOWS = std::string(WFAL_SOURCE_DIR) + "/tests/flows";

struct FlowRun {
    std::vector<std::string> args;
    std::string script;
    std::vector<std::string> shots;
    bool res = false;
};

struct Flow {
    std::vector<std::string> lines; // the file as it stands
    std::vector<std::string> setup; // file and text lines
    std::vector<FlowRun> runs;
    std::vector<std::vector<std::string>> logs; // expected, one block per run
    std::vector<std::string> files;             // expected
};

bool indented(const std::string &line) {
    return line.rfind("  ", 0) == 0;
}

// The words of a line; "..." is one word, with the escapes \\ \" \n \r \t \xNN.
std::vector<std::string> words(const std::string &line) {
    std::vector<std::string> out;
    size_t at = 0;
    while ((at = line.find_first_not_of(' ', at)) != std::string::npos) {
        if (line[at] != '"') {
            const size_t end = std::min(line.find(' ', at), line.size());
            out.push_back(line.substr(at, end - at));
            at = end;
            continue;
        }
        std::string text;
        for (at++; at < line.size() && line[at] != '"'; at++) {
            if (line[at] != '\\' || ++at == line.size()) {
                text += line[at];
                continue;
            }
            const char c = line[at];
            if (c == 'x')
                text += char(std::stoi(line.substr(at + 1, 2), nullptr, 16)), at += 2;
            else
                text += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        }
        out.push_back(text);
        at++;
    }
    return out;
}

// A script line; "@FILE" stands for the lines of a file of the project, whose shots are taken
// but not compared.
void add_step(FlowRun *run, const std::string &step) {
    if (step[0] == '@')
        return void(run->script +=
                    host_read_file(std::string(WFAL_SOURCE_DIR) + "/" + step.substr(1)));
    if (step.rfind("shot ", 0) == 0) run->shots.push_back(words(step)[1]);
    run->script += step + "\n";
}

Flow flow_read(const std::string &name) {
    Flow flow;
    flow.lines = text_lines(host_read_file(FLOWS + "/" + name + ".flow"));
    std::vector<std::string> *block = nullptr;
    for (const std::string &line : flow.lines) {
        if (line.empty() || line[0] == '#') continue;
        if (indented(line)) {
            if (block)
                block->push_back(line.substr(2));
            else if (!flow.runs.empty())
                add_step(&flow.runs.back(), line.substr(2));
            continue;
        }
        block = nullptr;
        const std::vector<std::string> w = words(line);
        if (w[0] == "file" || w[0] == "text")
            flow.setup.push_back(line);
        else if (w[0] == "run" || w[0] == "res")
            flow.runs.push_back({{w.begin() + 1, w.end()}, "", {}, w[0] == "res"});
        else if (w[0] == "log")
            block = &flow.logs.emplace_back();
        else if (w[0] == "files")
            block = &flow.files;
        else
            ADD_FAILURE() << name << ": unknown line " << line;
    }
    return flow;
}

std::string native(const HostFolder &folder, std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return folder.device() + path;
}

// A result file from key=value words: the recipe's fields, `level` for every point, `rise` and
// `climb` added per record (modulo 40) and per point (modulo 50), and `box=R0-R1,P0-P1,LEVEL`
// (repeatable) for a rectangle of records and points at one level.
ResultFileRecipe recipe_of(const std::vector<std::string> &w) {
    ResultFileRecipe r;
    int level = -5000, rise = 0, climb = 0;
    std::vector<std::array<long long, 5>> boxes;
    const std::map<std::string, std::function<void(long long)>> keys = {
        {"records", [&](long long v) { r.records = v; }},
        {"points", [&](long long v) { r.points = int(v); }},
        {"range", [&](long long v) { r.range = INT32(v); }},
        {"impedance", [&](long long v) { r.impedance = INT32(v); }},
        {"input", [&](long long v) { r.input = INT32(v); }},
        {"gain", [&](long long v) { r.gain = INT32(v); }},
        {"start", [&](long long v) { r.start_frequency = INT32(v); }},
        {"step", [&](long long v) { r.frequency_step = INT32(v); }},
        {"partial", [&](long long v) { r.partial_bytes = int(v); }},
        {"level", [&](long long v) { level = int(v); }},
        {"rise", [&](long long v) { rise = int(v); }},
        {"climb", [&](long long v) { climb = int(v); }},
        {"at",
         [&](long long v) {
             r.month = WORD(v / 100000000), r.day = WORD(v / 1000000 % 100),
             r.hour = WORD(v / 10000 % 100), r.minute = WORD(v / 100 % 100),
             r.second = WORD(v % 100);
         }},
    };
    for (size_t k = 2; k < w.size(); k++) {
        const size_t eq = w[k].find('=');
        const std::string key = w[k].substr(0, eq), value = w[k].substr(eq + 1);
        std::array<long long, 5> b = {};
        if (key == "box" && sscanf(value.c_str(), "%lld-%lld,%lld-%lld,%lld", &b[0], &b[1], &b[2],
                                   &b[3], &b[4]) == 5)
            boxes.push_back(b);
        else if (keys.count(key))
            keys.at(key)(std::stoll(value));
        else
            ADD_FAILURE() << "unknown key " << w[k];
    }
    r.level = [=](long long record, int point) {
        for (const auto &b : boxes)
            if (record >= b[0] && record <= b[1] && point >= b[2] && point <= b[3])
                return INT16(b[4]);
        return INT16(level + rise * (record % 40) + climb * (point % 50));
    };
    return r;
}

void set_up(const HostFolder &folder, const std::vector<std::string> &setup) {
    for (const std::string &line : setup) {
        const std::vector<std::string> w = words(line);
        const std::string path = native(folder, w.at(1));
        fs::create_directories(fs::path(path).parent_path());
        if (w[0] == "file")
            result_file_write(path, recipe_of(w));
        else
            std::ofstream(path, std::ios::binary) << w.at(2);
    }
}

// wfal-res with `args` in the device root, its output where the host's goes; the exit status
// (124 when it ran for over a minute).
int res_run(const HostFolder &folder, const std::vector<std::string> &args) {
    std::string command = "cd '" + folder.device() + "' && timeout 60 '" WFAL_RES_PATH "'";
    for (std::string arg : args) {
        for (size_t at = 0; (at = arg.find('\'', at)) != std::string::npos; at += 4)
            arg.replace(at, 1, "'\\''");
        command += " '" + arg + "'";
    }
    const int status = std::system((command + " >../stdout.txt 2>../stderr.txt").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What a run showed, with the run's folder left out of the paths in it (its screenshots and
// script are named relative to it: "shots/prtscr-0001.png", "script.txt:3: ...").
std::vector<std::string> observed(const HostFolder &folder, int status) {
    std::vector<std::string> log = folder.lines();
    for (const std::string &line : text_lines(folder.err()))
        log.push_back("stderr: " + line);
    if (status != 0) log.push_back("exit " + std::to_string(status));
    const std::string where = folder.dir() + "/";
    for (std::string &line : log)
        for (size_t at; (at = line.find(where)) != std::string::npos;)
            line.erase(at, where.size());
    return log;
}

std::vector<std::string> device_files(const HostFolder &folder) {
    std::vector<std::string> files;
    std::error_code none; // a run refused before the host made the device root leaves none
    for (const auto &entry : fs::recursive_directory_iterator(folder.device(), none)) {
        if (!entry.is_regular_file() || entry.is_symlink()) continue;
        const std::string bytes = host_read_file(entry.path());
        unsigned long long hash = 14695981039346656037ull;
        for (unsigned char c : bytes)
            hash = (hash ^ c) * 1099511628211ull;
        std::string path = entry.path().string().substr(folder.device().size());
        std::replace(path.begin(), path.end(), '/', '\\');
        char line[64];
        snprintf(line, sizeof line, " %zu %016llx", bytes.size(), hash);
        files.push_back(path + line);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The flow's file with its expected blocks replaced by what the runs showed.
void flow_update(const std::string &name, const Flow &flow,
                 const std::vector<std::vector<std::string>> &logs,
                 const std::vector<std::string> &files) {
    std::ofstream out(FLOWS + "/" + name + ".flow", std::ios::binary | std::ios::trunc);
    size_t run = 0;
    for (size_t k = 0; k < flow.lines.size(); k++) {
        const std::string &line = flow.lines[k];
        const bool is_log = line == "log", is_files = line == "files";
        out << line << "\n";
        if (!is_log && !is_files) continue;
        for (const std::string &l : is_log ? logs.at(run++) : files)
            out << "  " << l << "\n";
        while (k + 1 < flow.lines.size() && indented(flow.lines[k + 1]))
            k++;
    }
}

class FlowTest : public ::testing::TestWithParam<std::string> {};

TEST_P(FlowTest, LogFilesAndScreensAsStored) {
    const std::string name = GetParam();
    const Flow flow = flow_read(name);
    ASSERT_FALSE(flow.runs.empty()) << name << " has no run";
    HostFolder folder;
    set_up(folder, flow.setup);
    std::vector<std::vector<std::string>> logs;
    for (const FlowRun &run : flow.runs) {
        if (run.res) fs::create_directories(folder.shots());
        const int status =
            run.res ? res_run(folder, run.args) : host_run(folder, run.script, run.args, nullptr);
        logs.push_back(observed(folder, status));
        for (const std::string &shot : run.shots) {
            const std::string golden = "flow_" + name + "_" + fs::path(shot).stem().string();
            EXPECT_TRUE(shot_matches(folder, (run.res ? "../device/" : "") + shot, golden.c_str()));
        }
    }
    const std::vector<std::string> files = device_files(folder);
    const char *update = getenv("WFAL_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") return flow_update(name, flow, logs, files);
    ASSERT_EQ(flow.logs.size(), logs.size()) << name << ": one log block per run";
    for (size_t k = 0; k < logs.size(); k++)
        EXPECT_EQ(logs[k], flow.logs[k]) << name << ", run " << k + 1;
    EXPECT_EQ(files, flow.files) << name;
}

std::vector<std::string> flow_names() {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(FLOWS))
        if (entry.path().extension() == ".flow") names.push_back(entry.path().stem());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Flows, FlowTest, ::testing::ValuesIn(flow_names()),
                         [](const auto &info) { return info.param; });

} // namespace
