// Free disk space of a folder of the instrument's file system.
#include <sys/stat.h>
#include <sys/statvfs.h>

#include "winbase.h"
#include "kernel/file_internal.h"

namespace {

void put(PULARGE_INTEGER out, ULONGLONG value) {
    if (out != nullptr) out->QuadPart = value;
}

} // namespace

BOOL GetDiskFreeSpaceExW(LPCWSTR directory, PULARGE_INTEGER free_to_caller,
                         PULARGE_INTEGER total_bytes, PULARGE_INTEGER total_free) {
    MappedPath mapped;
    // Without a folder Windows answers for the current disk: here the device root.
    if (!path_map(directory != nullptr ? directory : u"\\", mapped)) return FALSE;
    struct stat st;
    if (stat(mapped.host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return FALSE;
    ULONGLONG capacity = 0;
    ULONGLONG used = 0;
    if (mapped.depth >= 1 && volume_usage(mapped.top, &capacity, &used)) {
        ULONGLONG left = capacity > used ? capacity - used : 0;
        put(free_to_caller, left);
        put(total_bytes, capacity);
        put(total_free, left);
        return TRUE;
    }
    struct statvfs vfs;
    if (statvfs(mapped.host.c_str(), &vfs) != 0) return FALSE;
    put(free_to_caller, ULONGLONG(vfs.f_bavail) * vfs.f_frsize);
    put(total_bytes, ULONGLONG(vfs.f_blocks) * vfs.f_frsize);
    put(total_free, ULONGLONG(vfs.f_bfree) * vfs.f_frsize);
    return TRUE;
}
