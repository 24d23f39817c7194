#include "host.h"

#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include <wlgdi.h>
#include <wluser.h>

#include "draw.h"
#include "frame.h"
#include "script.h"

Host host;

namespace {

// The Esc key of the module's dialogs, for a dialog that takes no WM_CLOSE.
const char16_t ESC_CAPTION[] = u"Esc";

std::vector<HWND> all_windows() {
    std::vector<HWND> all(256);
    int n = wl_window_list(all.data(), int(all.size()));
    if (n > int(all.size())) {
        all.resize(size_t(n));
        n = wl_window_list(all.data(), n);
    }
    all.resize(size_t(n < int(all.size()) ? n : int(all.size())));
    return all;
}

// Taps the dialog's visible, enabled Esc key; false if it has none.
bool tap_esc(HWND dialog) {
    for (HWND hwnd : all_windows()) {
        WlWindowInfo info;
        WCHAR text[8] = {};
        if (!wl_window_info(hwnd, &info) || info.parent != dialog || !info.visible ||
            !info.enabled || GetWindowTextW(hwnd, text, 8) != 3 ||
            std::u16string(text) != ESC_CAPTION)
            continue;
        int x = (info.rect.left + info.rect.right) / 2, y = (info.rect.top + info.rect.bottom) / 2;
        wl_input_press(x, y);
        wl_input_release(x, y);
        return true;
    }
    return false;
}

} // namespace

void host_exit(int status) {
    fflush(stdout);
    draw_release();
    wl_gdi_shutdown();
    exit(status);
}

void host_log(const std::string &line) {
    fputs(line.c_str(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

void host_script_error(int line, const std::string &message) {
    fflush(stdout);
    std::string where = host.script ? host.script->file : "script";
    if (line > 0) where += ":" + std::to_string(line);
    fprintf(stderr, "wfal-host: %s: %s\n", where.c_str(), message.c_str());
    host_exit(2);
}

bool host_owns_window(HWND hwnd) {
    return hwnd && (hwnd == host.frame || hwnd == host.title_bar || hwnd == host.box);
}

HWND host_top_dialog() {
    for (HWND hwnd : all_windows()) {
        WlWindowInfo info;
        if (wl_window_info(hwnd, &info) && !info.parent && info.visible && !host_owns_window(hwnd))
            return hwnd;
    }
    return NULL;
}

std::string host_screenshot_path(const std::string &name) {
    if (!name.empty() && name[0] == '/') return name;
    std::string error;
    if (!paths_make_folders(host.options.screenshots, &error))
        fprintf(stderr, "wfal-host: %s\n", error.c_str());
    return host.options.screenshots + "/" + name;
}

void host_request_close() {
    host.closing = true;
    host.closing_dialog = NULL;
    host.closing_stage = 0;
    frame_refresh_title();
}

// A running test is stopped first, through the stop request; then each dialog from the top is
// sent WM_CLOSE, and one that stays is left through its Esc key.
bool host_closing_step() {
    if (!host.closing || host.box || host.test_running) return false;
    HWND top = host_top_dialog();
    if (!top || !IsWindowEnabled(top)) return false;
    if (top != host.closing_dialog) {
        host.closing_dialog = top;
        host.closing_stage = 0;
    }
    switch (host.closing_stage++) {
    case 0: return PostMessageW(top, WM_CLOSE, 0, 0) != FALSE;
    case 1: return tap_esc(top);
    default: return false;
    }
}
