// Progress of long work on standard error: shown only when standard error is a terminal, and
// only once the work has taken a second.
#pragma once

struct Progress;

// Null when standard error is no terminal: the calls below then do nothing.
Progress *progress_start(const char *label);
void progress_show(Progress *progress, double done); // done: 0 .. 1
void progress_end(Progress *progress);
