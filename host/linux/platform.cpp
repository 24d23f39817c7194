// The platform of the Linux host: the layer's window list, input, clock, screen and codec, and
// the PC's POSIX file system.
#include "platform.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "text.h"

std::vector<HWND> platform_windows() {
    std::vector<HWND> all(256);
    int n = wl_window_list(all.data(), int(all.size()));
    if (n > int(all.size())) {
        all.resize(size_t(n));
        n = wl_window_list(all.data(), n);
    }
    all.resize(size_t(n < int(all.size()) ? n : int(all.size())));
    return all;
}

bool platform_window_info(HWND hwnd, PlatformWindow *info) {
    WlWindowInfo w;
    if (!wl_window_info(hwnd, &w)) return false;
    info->parent = w.parent;
    info->visible = w.visible;
    info->enabled = w.enabled;
    info->rect = w.rect;
    info->id = w.id;
    info->class_name = text_to_utf8(w.class_name);
    return true;
}

void platform_press(int x, int y) {
    wl_input_press(x, y);
}

void platform_move(int x, int y) {
    wl_input_move(x, y);
}

void platform_release(int x, int y) {
    wl_input_release(x, y);
}

ULONGLONG platform_clock_ms() {
    return wl_clock_ms();
}

bool platform_clock_is_virtual() {
    return wl_clock_is_virtual();
}

void platform_clock_advance_ms(ULONGLONG ms) {
    wl_clock_advance_ms(ms);
}

bool platform_timer_next_due(ULONGLONG *due) {
    return wl_timer_next_due(due);
}

bool platform_save_png(const std::string &path) {
    return wl_screen_save_png(path.c_str());
}

void platform_release_drawing() {
    wl_gdi_shutdown();
}

WideText text_from_utf8(const std::string &utf8) {
    return wl_utf16_from_utf8(utf8.data(), utf8.size());
}

std::string text_to_utf8(const WideText &wide) {
    return wl_utf8_from_utf16(wide.data(), wide.size());
}

std::string text_to_utf8(const WCHAR *wide) {
    return wl_utf8_from_utf16(wide, WL_TEXT_TERMINATED);
}

bool platform_make_folder(const std::string &dir, std::string *error) {
    if (mkdir(dir.c_str(), 0777) == 0 || errno == EEXIST) {
        struct stat st;
        if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    }
    *error = "cannot make the folder " + dir + ": " + strerror(errno ? errno : ENOTDIR);
    return false;
}

bool platform_real_path(const std::string &path, std::string *out) {
    char buffer[PATH_MAX];
    if (!realpath(path.c_str(), buffer)) return false;
    *out = buffer;
    return true;
}

bool platform_place_link(const std::string &at, const std::string &folder) {
    struct stat st;
    if (lstat(at.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode) || unlink(at.c_str()) != 0) return false;
    }
    return symlink(folder.c_str(), at.c_str()) == 0;
}
