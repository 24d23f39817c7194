// Runs the built wfal-host as a child process in a fresh folder (device root, screenshots,
// script) and gives back its exit status and what it printed.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char **environ;

struct HostRun {
    int status = -1; // the exit status; -1 when the host did not exit normally
    std::string out, err;

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
    bool has_line(const std::string &line) const {
        for (const std::string &l : lines()) {
            if (l == line) return true;
        }
        return false;
    }
};

inline std::string host_read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class HostFolder {
public:
    HostFolder() {
        const char *base = getenv("WFAL_TEST_TMP");
        std::filesystem::path parent =
            base && *base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
        std::filesystem::create_directories(parent);
        std::string pattern = (parent / "hostXXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data())) dir_ = name.data();
    }
    ~HostFolder() {
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    HostFolder(const HostFolder &) = delete;
    HostFolder &operator=(const HostFolder &) = delete;

    const std::string &dir() const { return dir_; }
    std::string device() const { return dir_ + "/device"; }
    std::string shots() const { return dir_ + "/shots"; }

    // wfal-host with exactly these arguments; `module` (when given) is loaded instead of the
    // one built in.
    HostRun run_raw(const std::vector<std::string> &args, const char *module = nullptr) const {
        std::vector<std::string> env_text;
        for (char **e = environ; *e; e++) {
            if (strncmp(*e, "WFAL_MODULE=", 12) != 0) env_text.push_back(*e);
        }
        if (module) env_text.push_back(std::string("WFAL_MODULE=") + module);
        std::vector<std::string> argv_text = {WFAL_HOST_PATH};
        argv_text.insert(argv_text.end(), args.begin(), args.end());
        return spawn(argv_text, env_text);
    }

    // Headless with `script`, in this folder's device root and screenshots folder.
    HostRun run(const std::string &script, const std::vector<std::string> &args,
                const char *module = WFAL_STAND_IN_PATH) const {
        std::string file = dir_ + "/script.txt";
        std::ofstream(file, std::ios::binary | std::ios::trunc) << script;
        std::vector<std::string> all = {
            "--device-root", device(), "--screenshots", shots(), "--headless", "--script", file};
        all.insert(all.end(), args.begin(), args.end());
        return run_raw(all, module);
    }

private:
    static std::vector<char *> pointers(std::vector<std::string> &texts) {
        std::vector<char *> p;
        for (std::string &t : texts)
            p.push_back(&t[0]);
        p.push_back(nullptr);
        return p;
    }

    HostRun spawn(std::vector<std::string> argv_text, std::vector<std::string> env_text) const {
        HostRun r;
        std::string out = dir_ + "/stdout.txt", err = dir_ + "/stderr.txt";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        std::vector<char *> argv = pointers(argv_text), envp = pointers(env_text);
        pid_t pid = 0;
        int wstatus = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0 &&
            waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus))
            r.status = WEXITSTATUS(wstatus);
        posix_spawn_file_actions_destroy(&actions);
        r.out = host_read_file(out);
        r.err = host_read_file(err);
        return r;
    }

    std::string dir_;
};
