#include "host.h"

#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "draw.h"
#include "platform.h"
#include "title_bar.h"
#include "script.h"

Host host;

namespace {

// The Esc key of the module's dialogs, for a dialog that takes no WM_CLOSE.
const WCHAR ESC_CAPTION[] = TEXT("Esc");

std::vector<HWND> all_windows() {
    return platform_windows();
}

bool descends_from(HWND hwnd, HWND ancestor) {
    PlatformWindow info;
    while (hwnd && platform_window_info(hwnd, &info)) {
        if (info.parent == ancestor) return true;
        hwnd = info.parent;
    }
    return false;
}

// Taps the dialog's visible, enabled Esc key; false if it has none.
bool tap_esc(HWND dialog) {
    HWND esc = host_find_control(dialog, ESC_CAPTION);
    if (!esc || !IsWindowEnabled(esc)) return false;
    host_tap_control(esc);
    return true;
}

} // namespace

void host_exit(int status) {
    fflush(stdout);
    draw_release();
    platform_release_drawing();
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
        PlatformWindow info;
        if (platform_window_info(hwnd, &info) && !info.parent && info.visible &&
            !host_owns_window(hwnd))
            return hwnd;
    }
    return NULL;
}

std::vector<HWND> host_dialog_controls(HWND dialog) {
    std::vector<HWND> controls;
    for (HWND hwnd : all_windows()) {
        if (descends_from(hwnd, dialog)) controls.push_back(hwnd);
    }
    return controls;
}

HWND host_find_control(HWND dialog, const WideText &text) {
    for (HWND control : host_dialog_controls(dialog)) {
        if (IsWindowVisible(control) && host_window_text(control) == text) return control;
    }
    return NULL;
}

void host_tap_control(HWND control) {
    PlatformWindow info;
    if (!platform_window_info(control, &info)) return;
    int x = (info.rect.left + info.rect.right) / 2, y = (info.rect.top + info.rect.bottom) / 2;
    platform_press(x, y);
    platform_release(x, y);
}

WideText host_window_text(HWND hwnd) {
    int length = int(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    WideText text(size_t(length > 0 ? length : 0) + 1, 0);
    int got = GetWindowTextW(hwnd, &text[0], int(text.size()));
    text.resize(size_t(got > 0 ? got : 0));
    return text;
}

std::string host_screenshot_path(const std::string &name) {
    if (!name.empty() && name[0] == '/') return name;
    std::string error;
    if (!paths_make_folders(host.options.screenshots, &error))
        fprintf(stderr, "wfal-host: %s\n", error.c_str());
    return host.options.screenshots + "/" + name;
}

void host_request_close() {
    host.closing = CLOSE_STOPPING_TEST;
    host.closing_dialog = NULL;
    title_bar_refresh();
}

bool host_is_closing() {
    return host.closing != CLOSE_NONE;
}

bool host_closing_step() {
    if (!host_is_closing() || host.box || host.test_running) return false;
    HWND top = host_top_dialog();
    if (!top || !IsWindowEnabled(top)) return false;
    if (top != host.closing_dialog) {
        host.closing_dialog = top;
        host.closing = CLOSE_SEND_CLOSE;
    }
    switch (host.closing) {
    case CLOSE_SEND_CLOSE:
        host.closing = CLOSE_TAP_ESC;
        return PostMessageW(top, WM_CLOSE, 0, 0) != FALSE;
    case CLOSE_TAP_ESC: host.closing = CLOSE_LEFT_OPEN; return tap_esc(top);
    default: return false;
    }
}
