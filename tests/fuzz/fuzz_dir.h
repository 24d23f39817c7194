// The instrument's root for a fuzz target: one TempDeviceRoot for the process, removed at exit.
// Each input is written as a file, so memory-backed storage is preferred when the machine has it.
#pragma once

#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include <winlayer.h>

#include "support/temp_root.h"

inline const TempDeviceRoot &fuzz_root() {
    static const TempDeviceRoot root;
    return root;
}

inline void fuzz_dir_make() {
    if (access("/dev/shm", W_OK) == 0) setenv("WFAL_TEST_TMP", "/dev/shm", 1);
    fuzz_root();
    wl_fs_set_sync(FALSE);
}

// Stores the input as the file `name` under the root.
inline void fuzz_dir_write(const char *name, const uint8_t *data, size_t size) {
    fuzz_root().write(name, std::string(reinterpret_cast<const char *>(data), size));
}
