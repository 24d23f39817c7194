// wfal-host as a child process in a fresh folder that holds its device root, screenshots, script
// and output: started (through a wrapper command such as strace or prlimit when given), then
// waited for or killed.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/golden.h"
#include "support/temp_root.h"

extern char **environ;

inline std::string host_read_file(const std::string &path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

inline std::vector<std::string> text_lines(const std::string &text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

class HostFolder : public TempDeviceRoot {
public:
    std::string device() const { return dir() + "/device"; }
    std::string shots() const { return dir() + "/shots"; }
    std::string out() const { return host_read_file(dir() + "/stdout.txt"); }
    std::string err() const { return host_read_file(dir() + "/stderr.txt"); }
    std::vector<std::string> lines() const { return text_lines(out()); }
    bool logged(const std::string &line) const {
        return ("\n" + out()).find("\n" + line + "\n") != std::string::npos;
    }
    // The arguments that run `script` headless in this folder's device root and screenshots,
    // followed by `args`.
    std::vector<std::string> headless(const std::string &script,
                                      const std::vector<std::string> &args) const {
        std::ofstream(dir() + "/script.txt", std::ios::binary | std::ios::trunc) << script;
        std::vector<std::string> all = {"--device-root", device(),   "--screenshots",      shots(),
                                        "--headless",    "--script", dir() + "/script.txt"};
        all.insert(all.end(), args.begin(), args.end());
        return all;
    }
};

class HostChild {
public:
    using Seconds = std::chrono::duration<double>;

    // wfal-host with `args`, loading `module` in place of the built-in one when given, started
    // through the command `wrapper` when it is not empty.
    HostChild(const HostFolder &folder, const std::vector<std::string> &args,
              const char *module = nullptr, std::vector<std::string> wrapper = {}) {
        std::vector<std::string> argv = std::move(wrapper), env;
        argv.push_back(WFAL_HOST_PATH);
        argv.insert(argv.end(), args.begin(), args.end());
        for (char **e = environ; *e; e++)
            if (strncmp(*e, "WFAL_MODULE=", 12) != 0) env.push_back(*e);
        if (module) env.push_back(std::string("WFAL_MODULE=") + module);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string files[] = {folder.dir() + "/stdout.txt", folder.dir() + "/stderr.txt"};
        for (int fd = 1; fd <= 2; fd++)
            posix_spawn_file_actions_addopen(&actions, fd, files[fd - 1].c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char *> argp = pointers(argv), envp = pointers(env);
        if (posix_spawnp(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~HostChild() { finish(0); }
    HostChild(const HostChild &) = delete;
    HostChild &operator=(const HostChild &) = delete;

    static void sleep(double s) { std::this_thread::sleep_for(Seconds(s)); }
    bool ended() const { return waitpid(pid_, nullptr, WNOHANG) != 0; }
    // The wait status, once the child has ended; a child that outlives `limit` seconds is
    // killed (at once with 0). -1 when it never started.
    int finish(double limit) {
        int status = -1;
        const auto end = std::chrono::steady_clock::now() + Seconds(limit);
        while (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) kill(pid_, SIGKILL);
            sleep(0.002);
        }
        pid_ = -1;
        return status;
    }
    // The exit status; -1 when the child did not exit by itself within `limit` seconds.
    int exit_status(double limit) {
        const int status = finish(limit);
        return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    static std::vector<char *> pointers(std::vector<std::string> &texts) {
        std::vector<char *> p;
        for (std::string &t : texts)
            p.push_back(&t[0]);
        p.push_back(nullptr);
        return p;
    }

    pid_t pid_ = -1;
};

// Runs `script` headless to its end with `args`, against the stand-in module by default (null:
// the real one); the exit status, or -1 when the host did not exit by itself within a minute.
inline int host_run(const HostFolder &folder, const std::string &script,
                    const std::vector<std::string> &args, const char *module = WFAL_STAND_IN_PATH) {
    return HostChild(folder, folder.headless(script, args), module).exit_status(60);
}

// A screenshot the host wrote into the folder's screenshots, compared with a stored image.
inline ::testing::AssertionResult shot_matches(const HostFolder &folder, const std::string &file,
                                               const char *golden) {
    std::vector<uint32_t> pixels;
    Surface s = {nullptr, 0, 0, 0};
    if (!png_read(folder.shots() + "/" + file, &pixels, &s.width, &s.height))
        return ::testing::AssertionFailure() << "cannot read the screenshot " << file;
    s.pixels = pixels.data(), s.stride = s.width;
    return golden_match(s, golden);
}
