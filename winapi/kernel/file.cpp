// The instrument's file system: instrument paths mapped under the device root, _wfopen, and the
// volumes whose capacity is simulated.
#include <errno.h>
#include <limits.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "wincrt.h"
#include "kernel/file_internal.h"
#include "kernel/trace.h"
#include "kernel/utf.h"

namespace {

// A top folder of the device root with a simulated capacity (0: none).
struct Volume {
    std::string top;
    ULONGLONG capacity;
    ULONGLONG used;
};

// Never destroyed: a module unloaded at the end of the process may still close its files after
// the layer's own static objects are gone.
std::string &g_root = *new std::string(".");
bool g_sync = true;
std::vector<Volume> &g_volumes = *new std::vector<Volume>;
std::vector<FileStream> &g_streams = *new std::vector<FileStream>;
std::vector<std::unique_ptr<FileTrack>> &g_files = *new std::vector<std::unique_ptr<FileTrack>>;

// Windows refuses these in a file name; so does the instrument.
bool is_bad_name_char(WCHAR c) {
    return c < 0x20 || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos;
}

constexpr size_t NAME_MAX_CHARS = 255;

// Splits an instrument path into its components, resolving "." and "..". Both separators are
// accepted, as Windows accepts them; a path that climbs above "\" is refused.
bool path_split(LPCWSTR path, std::vector<std::u16string_view> &parts) {
    std::u16string_view rest(path);
    if (rest.size() >= MAX_PATH) return false;
    while (!rest.empty()) {
        size_t cut = rest.find_first_of(u"\\/");
        std::u16string_view part = rest.substr(0, cut);
        rest = cut == rest.npos ? std::u16string_view() : rest.substr(cut + 1);
        if (part.empty() || part == u".") continue;
        if (part == u"..") {
            if (parts.empty()) return false;
            parts.pop_back();
            continue;
        }
        if (part.size() > NAME_MAX_CHARS) return false;
        for (WCHAR c : part) {
            if (is_bad_name_char(c)) return false;
        }
        parts.push_back(part);
    }
    return true;
}

std::string path_join(const std::string &dir, const std::string &name) {
    return dir == "/" ? dir + name : dir + "/" + name;
}

int volume_find(const std::string &top) {
    for (size_t i = 0; i < g_volumes.size(); i++) {
        if (g_volumes[i].top == top) return int(i);
    }
    return -1;
}

int volume_add(const std::string &top) {
    int v = volume_find(top);
    if (v >= 0) return v;
    g_volumes.push_back({top, 0, 0});
    return int(g_volumes.size()) - 1;
}

FileTrack *file_find(dev_t dev, ino_t ino) {
    for (auto &f : g_files) {
        if (f->dev == dev && f->ino == ino) return f.get();
    }
    return nullptr;
}

// Adds up the files under the volume's folder once; from then on writes are charged as they
// happen. Open files count with their tracked size, which includes what is still buffered.
void volume_scan(int v) {
    namespace fs = std::filesystem;
    Volume &vol = g_volumes[size_t(v)];
    ULONGLONG used = 0;
    for (auto &f : g_files)
        f->scanned = false;
    std::error_code ec;
    fs::recursive_directory_iterator it(path_join(g_root, vol.top),
                                        fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        struct stat st;
        if (lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        FileTrack *f = file_find(st.st_dev, st.st_ino);
        if (f == nullptr) {
            used += ULONGLONG(st.st_size);
            continue;
        }
        f->size = std::max(f->size, ULONGLONG(st.st_size));
        f->scanned = true;
        used += f->size;
    }
    for (auto &f : g_files) {
        if (f->volume == v && !f->scanned) used += f->size;
    }
    vol.used = used;
}

struct OpenMode {
    std::u16string_view name;
    const char *host;
    bool read;
    bool write;
    bool append;
    bool truncate;
};

// Binary modes only: the module never asks for text translation.
constexpr OpenMode OPEN_MODES[] = {
    {u"rb", "rb", true, false, false, false},  {u"r+b", "r+b", true, true, false, false},
    {u"rb+", "r+b", true, true, false, false}, {u"wb", "wb", false, true, false, true},
    {u"w+b", "w+b", true, true, false, true},  {u"wb+", "w+b", true, true, false, true},
    {u"ab", "ab", false, true, true, false},   {u"a+b", "a+b", true, true, true, false},
    {u"ab+", "a+b", true, true, true, false},
};

const OpenMode *mode_find(const WCHAR *mode) {
    std::u16string_view m(mode);
    for (const OpenMode &om : OPEN_MODES) {
        if (om.name == m) return &om;
    }
    return nullptr;
}

FileTrack *file_attach(const struct stat &st, const OpenMode &mode, const MappedPath &path) {
    FileTrack *f = file_find(st.st_dev, st.st_ino);
    if (f == nullptr) {
        int volume = path.depth >= 2 ? volume_add(path.top) : -1;
        g_files.push_back(std::make_unique<FileTrack>(
            FileTrack{st.st_dev, st.st_ino, ULONGLONG(st.st_size), volume, 0, false}));
        f = g_files.back().get();
    } else if (mode.truncate) {
        f->size = ULONGLONG(st.st_size);
    }
    f->streams++;
    return f;
}

// A file without any write permission is what a file with the read-only attribute is on Windows:
// no mode that writes opens it, whoever asks (on Linux root could still write it).
bool is_read_only(const std::string &host_path) {
    struct stat st;
    return stat(host_path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

void stream_add(FILE *stream, const struct stat &st, const OpenMode &mode, const MappedPath &path) {
    // A stream closed behind the layer's back may come back at the same address.
    file_stream_forget(stream);
    FileTrack *f = file_attach(st, mode, path);
    const long long start = mode.write && !mode.read && !mode.append ? 0 : -1;
    g_streams.push_back({stream, mode.read, mode.write, mode.append, f, start});
    if (f->volume >= 0 && g_volumes[size_t(f->volume)].capacity != 0) volume_scan(f->volume);
}

} // namespace

bool path_map(LPCWSTR path, MappedPath &out) {
    std::vector<std::u16string_view> parts;
    if (path == nullptr || !path_split(path, parts)) return false;
    out.host = g_root;
    out.top.clear();
    out.depth = int(parts.size());
    std::string name;
    for (std::u16string_view part : parts) {
        if (!utf_to_utf8(part.data(), part.size(), name)) return false;
        if (out.top.empty()) out.top = name;
        out.host = path_join(out.host, name);
    }
    return out.host.size() < PATH_MAX;
}

void wl_fs_set_root(const char *dir) {
    g_root = dir != nullptr && dir[0] != 0 ? dir : ".";
    while (g_root.size() > 1 && g_root.back() == '/')
        g_root.pop_back();
    for (size_t v = 0; v < g_volumes.size(); v++) {
        if (g_volumes[v].capacity != 0) volume_scan(int(v));
    }
}

const char *wl_fs_root(void) {
    return g_root.c_str();
}

BOOL wl_fs_map_path(LPCWSTR path, char *out, size_t capacity) {
    MappedPath mapped;
    if (out == nullptr || !path_map(path, mapped) || mapped.host.size() >= capacity) return FALSE;
    mapped.host.copy(out, mapped.host.size());
    out[mapped.host.size()] = 0;
    return TRUE;
}

void wl_fs_set_volume_size(LPCWSTR volume, ULONGLONG bytes) {
    MappedPath mapped;
    if (!path_map(volume, mapped) || mapped.depth != 1) return;
    int v = volume_add(mapped.top);
    g_volumes[size_t(v)].capacity = bytes;
    if (bytes != 0) volume_scan(v);
}

void wl_fs_set_sync(BOOL on) {
    g_sync = on != FALSE;
}

bool file_sync_on() {
    return g_sync;
}

FileStream *file_stream_find(FILE *stream) {
    for (FileStream &s : g_streams) {
        if (s.stream == stream) return &s;
    }
    return nullptr;
}

void file_stream_forget(FILE *stream) {
    FileStream *s = file_stream_find(stream);
    if (s == nullptr) return;
    FileTrack *f = s->file;
    g_streams.erase(g_streams.begin() + (s - g_streams.data()));
    if (--f->streams == 0) {
        for (auto it = g_files.begin(); it != g_files.end(); ++it) {
            if (it->get() == f) {
                g_files.erase(it);
                break;
            }
        }
    }
}

ULONGLONG file_room(const FileTrack *file) {
    if (file->volume < 0 || g_volumes[size_t(file->volume)].capacity == 0) return ULLONG_MAX;
    const Volume &vol = g_volumes[size_t(file->volume)];
    return vol.capacity > vol.used ? vol.capacity - vol.used : 0;
}

void file_extend(FileTrack *file, ULONGLONG end) {
    if (end <= file->size) return;
    if (file->volume >= 0) g_volumes[size_t(file->volume)].used += end - file->size;
    file->size = end;
}

bool volume_usage(const std::string &top, ULONGLONG *capacity, ULONGLONG *used) {
    int v = volume_find(top);
    if (v < 0 || g_volumes[size_t(v)].capacity == 0) return false;
    volume_scan(v);
    *capacity = g_volumes[size_t(v)].capacity;
    *used = g_volumes[size_t(v)].used;
    return true;
}

namespace {

FILE *open_stream(const WCHAR *path, const WCHAR *mode) {
    if (fault_next(WL_FAULT_OPEN)) {
        errno = EIO;
        return nullptr;
    }
    const OpenMode *m = mode != nullptr ? mode_find(mode) : nullptr;
    MappedPath mapped;
    if (m == nullptr || !path_map(path, mapped)) {
        errno = EINVAL;
        return nullptr;
    }
    if (m->write && is_read_only(mapped.host)) {
        errno = EACCES;
        return nullptr;
    }
    FILE *stream = fopen(mapped.host.c_str(), m->host);
    if (stream == nullptr) return nullptr;
    struct stat st;
    // Windows opens no folder as a file; Linux would for reading.
    if (fstat(fileno(stream), &st) != 0 || S_ISDIR(st.st_mode)) {
        fclose(stream);
        errno = EACCES;
        return nullptr;
    }
    stream_add(stream, st, *m, mapped);
    return stream;
}

} // namespace

FILE *_wfopen(const WCHAR *path, const WCHAR *mode) {
    FILE *stream = open_stream(path, mode);
    TRACE(TRACE_FILE, "_wfopen(\"%s\", \"%s\") = %p%s%s",
          wl_utf8_from_utf16(path, WL_TEXT_TERMINATED).c_str(),
          wl_utf8_from_utf16(mode, WL_TEXT_TERMINATED).c_str(), (void *)stream, stream ? "" : ": ",
          stream ? "" : strerror(errno));
    return stream;
}
