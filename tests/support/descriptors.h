// Open file descriptors of this process: a test takes the count before and after the code under
// test to see that nothing was left open on any path.
#pragma once

#include <stddef.h>

#include <filesystem>
#include <iterator>

inline size_t open_descriptors() {
    auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return size_t(std::distance(begin(entries), end(entries)));
}
