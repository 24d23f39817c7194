// Shared by the layer's file code: the instrument paths, the streams that _wfopen opened, the
// volumes with a simulated capacity, and the fault seam.
#pragma once

#include <stdio.h>
#include <sys/types.h>

#include <string>

#include "winlayer.h"

// An instrument path mapped into the device root.
struct MappedPath {
    std::string host; // the PC path
    std::string top;  // first component under "\", empty for "\" itself
    int depth;        // number of components under "\"
};

bool path_map(LPCWSTR path, MappedPath &out);

// A file that the module has open, shared by all of its streams. `size` is the size the module
// sees, bytes still buffered in its streams included.
struct FileTrack {
    dev_t dev;
    ino_t ino;
    ULONGLONG size;
    int volume; // index into the volume table, -1 for a file outside every volume
    int streams;
    bool scanned;
};

struct FileStream {
    FILE *stream;
    bool readable;
    bool writable;
    bool append; // every write goes to the end, wherever the stream stands
    FileTrack *file;
    // Where a write-only stream stands, kept by the seam's own writes and seeks so that a write
    // needs no ftell (a system call after every flush); -1 when not known.
    long long write_pos;
};

// The module's stream, or null for any other stream (those pass through untouched).
FileStream *file_stream_find(FILE *stream);
void file_stream_forget(FILE *stream);
bool file_sync_on();

// Bytes by which `file` may still grow before its volume is full (ULLONG_MAX when the volume has
// no simulated capacity).
ULONGLONG file_room(const FileTrack *file);
// Takes note that `file` now reaches `end` bytes, charging the growth to its volume.
void file_extend(FileTrack *file, ULONGLONG end);

// For the free-space query: the capacity and used bytes of the simulated volume whose top
// folder is `top`; false when it has no simulated capacity.
bool volume_usage(const std::string &top, ULONGLONG *capacity, ULONGLONG *used);

// Counts one call of `op` on the module's streams; true when the seam makes it fail.
bool fault_next(WlFaultOp op);
