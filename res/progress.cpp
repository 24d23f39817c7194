#include "progress.h"

#include <stdio.h>
#include <unistd.h>

#include <chrono>
#include <string>

using Clock = std::chrono::steady_clock;

struct Progress {
    std::string label;
    Clock::time_point start, shown;
    bool drawn = false;
};

Progress *progress_start(const char *label) {
    if (!isatty(STDERR_FILENO)) return nullptr;
    const Clock::time_point now = Clock::now();
    return new Progress{label, now, now, false};
}

void progress_show(Progress *p, double done) {
    if (p == nullptr) return;
    const Clock::time_point now = Clock::now();
    if (now - p->start < std::chrono::seconds(1) || now - p->shown < std::chrono::milliseconds(200))
        return;
    p->shown = now;
    p->drawn = true;
    fprintf(stderr, "\r%s: %3d%%", p->label.c_str(), int(done * 100.0));
    fflush(stderr);
}

void progress_end(Progress *p) {
    if (p != nullptr && p->drawn) fprintf(stderr, "\r%*s\r", int(p->label.size()) + 6, "");
    delete p;
}
