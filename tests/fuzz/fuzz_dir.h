// A private folder mapped as the instrument's root for a fuzz target, removed at exit. Each
// input is written as a file, so memory-backed storage is preferred when the machine has it.
#pragma once

#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <winlayer.h>

inline std::string &fuzz_dir() {
    static std::string dir;
    return dir;
}

inline void fuzz_dir_remove() {
    std::error_code ignored;
    std::filesystem::remove_all(fuzz_dir(), ignored);
}

inline void fuzz_dir_make(const char *name) {
    std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/";
    pattern += name;
    pattern += "_XXXXXX";
    if (!mkdtemp(pattern.data())) abort();
    fuzz_dir() = pattern;
    wl_fs_set_root(pattern.c_str());
    wl_fs_set_sync(FALSE);
    atexit(fuzz_dir_remove);
}

// Stores the input as the file `name` under the root.
inline void fuzz_dir_write(const char *name, const uint8_t *data, size_t size) {
    std::ofstream out(fuzz_dir() + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data), (std::streamsize)size);
}
