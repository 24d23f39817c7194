// The module's C runtime file calls. The linker redirects the module's fread, fwrite, fflush,
// fclose, fseek and ftell here (see winapi_crt); the layer itself is linked without the
// redirection, so the plain names below reach the C library. Streams that _wfopen did not open
// pass straight through; the module's own go through the fault seam and the simulated volumes.
#include <errno.h>
#include <limits.h>
#include <stdint.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "kernel/file_internal.h"
#include "kernel/trace.h"

namespace {

constexpr int FAULT_OPS = 4;
const char *const FAULT_OP_NAMES[FAULT_OPS] = {"open", "write", "flush", "read"};

// Calls are numbered from 1 since the last reset; 0 in `fail_at`/`short_at` means none armed.
struct FaultSeam {
    int calls[FAULT_OPS];
    int fail_at[FAULT_OPS];
    bool persistent[FAULT_OPS];
    int short_at;
    size_t short_keep;
};

FaultSeam g_seam;

bool op_valid(WlFaultOp op) {
    return int(op) >= 0 && int(op) < FAULT_OPS;
}

// A failing call leaves the stream as a failing C library call would: error flag set, errno.
void stream_fail(FILE *stream, int error) {
    stream->_flags |= _IO_ERR_SEEN;
    errno = error;
}

// Bytes of this write that the seam lets through (called right after the write was counted).
size_t seam_keep(size_t bytes) {
    if (g_seam.short_at == 0 || g_seam.calls[WL_FAULT_WRITE] != g_seam.short_at) return bytes;
    size_t keep = std::min(bytes, g_seam.short_keep);
    TRACE(TRACE_FILE, "fault seam: write %d keeps %zu of %zu bytes", g_seam.short_at, keep, bytes);
    return keep;
}

ULONGLONG write_position(const FileStream &s) {
    if (s.append) return s.file->size;
    if (s.write_pos >= 0) return ULONGLONG(s.write_pos);
    long pos = ftell(s.stream);
    return pos < 0 ? s.file->size : ULONGLONG(pos);
}

// How many of `bytes` written at `pos` still fit on the stream's volume. Rewriting bytes that
// the file already has takes no space.
size_t volume_fit(const FileStream &s, ULONGLONG pos, size_t bytes) {
    ULONGLONG room = file_room(s.file);
    if (room == ULLONG_MAX) return bytes;
    ULONGLONG limit = s.file->size + room;
    if (pos >= limit) return 0;
    return size_t(std::min<ULONGLONG>(bytes, limit - pos));
}

} // namespace

void wl_fault_fail(WlFaultOp op, int nth, BOOL persistent) {
    if (!op_valid(op) || nth < 1) return;
    g_seam.fail_at[op] = g_seam.calls[op] + nth;
    g_seam.persistent[op] = persistent != FALSE;
}

void wl_fault_short_write(int nth, size_t keep_bytes) {
    if (nth < 1) return;
    g_seam.short_at = g_seam.calls[WL_FAULT_WRITE] + nth;
    g_seam.short_keep = keep_bytes;
}

void wl_fault_reset(void) {
    g_seam = FaultSeam{};
}

int wl_fault_calls(WlFaultOp op) {
    return op_valid(op) ? g_seam.calls[op] : 0;
}

bool fault_next(WlFaultOp op) {
    int n = ++g_seam.calls[op];
    int at = g_seam.fail_at[op];
    bool fail = at != 0 && (n == at || (g_seam.persistent[op] && n > at));
    if (fail) TRACE(TRACE_FILE, "fault seam: %s %d fails", FAULT_OP_NAMES[op], n);
    return fail;
}

namespace {

// The module's calls; the Windows C runtime answers a null stream with EINVAL rather than
// crashing.

size_t module_fread(void *data, size_t size, size_t count, FILE *stream) {
    if (stream == nullptr) {
        errno = EINVAL;
        return 0;
    }
    if (file_stream_find(stream) != nullptr && fault_next(WL_FAULT_READ)) {
        stream_fail(stream, EIO);
        return 0;
    }
    return fread(data, size, count, stream);
}

size_t module_fwrite(const void *data, size_t size, size_t count, FILE *stream) {
    if (stream == nullptr) {
        errno = EINVAL;
        return 0;
    }
    FileStream *s = file_stream_find(stream);
    if (s == nullptr) return fwrite(data, size, count, stream);
    if (fault_next(WL_FAULT_WRITE)) {
        stream_fail(stream, EIO);
        return 0;
    }
    if (size == 0 || count == 0) return 0;
    if (count > SIZE_MAX / size) {
        stream_fail(stream, EINVAL);
        return 0;
    }
    size_t bytes = size * count;
    size_t keep = seam_keep(bytes);
    int error = keep < bytes ? EIO : 0;
    ULONGLONG pos = s->writable ? write_position(*s) : 0;
    size_t fit = s->writable ? volume_fit(*s, pos, keep) : keep;
    if (fit < keep) {
        keep = fit;
        error = ENOSPC;
    }
    size_t done = keep != 0 ? fwrite(data, 1, keep, stream) : 0;
    if (s->writable) file_extend(s->file, pos + done);
    if (s->write_pos >= 0) s->write_pos = (long long)(pos + done);
    if (error != 0) stream_fail(stream, error);
    return done / size;
}

int module_fflush(FILE *stream) {
    FileStream *s = stream != nullptr ? file_stream_find(stream) : nullptr;
    if (s == nullptr) return fflush(stream);
    if (fault_next(WL_FAULT_FLUSH)) {
        stream_fail(stream, EIO);
        return EOF;
    }
    if (fflush(stream) != 0) return EOF;
    if (s->writable && file_sync_on() && fsync(fileno(stream)) != 0) {
        stream_fail(stream, errno);
        return EOF;
    }
    return 0;
}

int module_fclose(FILE *stream) {
    if (stream == nullptr) {
        errno = EINVAL;
        return EOF;
    }
    file_stream_forget(stream);
    return fclose(stream);
}

int module_fseek(FILE *stream, long offset, int origin) {
    if (stream == nullptr) {
        errno = EINVAL;
        return -1;
    }
    FileStream *s = file_stream_find(stream);
    int result = fseek(stream, offset, origin);
    if (s != nullptr && !s->readable && !s->append) s->write_pos = result == 0 ? ftell(stream) : -1;
    return result;
}

long module_ftell(FILE *stream) {
    if (stream == nullptr) {
        errno = EINVAL;
        return -1L;
    }
    return ftell(stream);
}

// For the trace: what a call that fell short met, or nothing when it did not.
std::string shortfall(bool fell_short, FILE *stream) {
    if (!fell_short) return "";
    return stream != nullptr && feof(stream) ? ": end of file"
                                             : std::string(": ") + strerror(errno);
}

const char *origin_name(int origin) {
    switch (origin) {
    case SEEK_SET: return "SEEK_SET";
    case SEEK_CUR: return "SEEK_CUR";
    case SEEK_END: return "SEEK_END";
    default: return "?";
    }
}

} // namespace

// The module's calls as the linker hands them over, each traced with its outcome.
extern "C" {

size_t __wrap_fread(void *data, size_t size, size_t count, FILE *stream);
size_t __wrap_fwrite(const void *data, size_t size, size_t count, FILE *stream);
int __wrap_fflush(FILE *stream);
int __wrap_fclose(FILE *stream);
int __wrap_fseek(FILE *stream, long offset, int origin);
long __wrap_ftell(FILE *stream);

size_t __wrap_fread(void *data, size_t size, size_t count, FILE *stream) {
    size_t done = module_fread(data, size, count, stream);
    TRACE(TRACE_FILE, "fread(%zu, %zu, %p) = %zu%s", size, count, (void *)stream, done,
          shortfall(done < count, stream).c_str());
    return done;
}

size_t __wrap_fwrite(const void *data, size_t size, size_t count, FILE *stream) {
    size_t done = module_fwrite(data, size, count, stream);
    TRACE(TRACE_FILE, "fwrite(%zu, %zu, %p) = %zu%s", size, count, (void *)stream, done,
          shortfall(done < count, stream).c_str());
    return done;
}

int __wrap_fflush(FILE *stream) {
    int result = module_fflush(stream);
    TRACE(TRACE_FILE, "fflush(%p) = %d%s", (void *)stream, result,
          shortfall(result != 0, nullptr).c_str());
    return result;
}

int __wrap_fclose(FILE *stream) {
    int result = module_fclose(stream);
    TRACE(TRACE_FILE, "fclose(%p) = %d%s", (void *)stream, result,
          shortfall(result != 0, nullptr).c_str());
    return result;
}

int __wrap_fseek(FILE *stream, long offset, int origin) {
    int result = module_fseek(stream, offset, origin);
    TRACE(TRACE_FILE, "fseek(%p, %ld, %s) = %d%s", (void *)stream, offset, origin_name(origin),
          result, shortfall(result != 0, nullptr).c_str());
    return result;
}

long __wrap_ftell(FILE *stream) {
    long result = module_ftell(stream);
    TRACE(TRACE_FILE, "ftell(%p) = %ld", (void *)stream, result);
    return result;
}

} // extern "C"
