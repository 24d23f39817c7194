// What the shared parts of wfal-host ask of the platform they run on: the Linux layer
// (host/linux/) or Win32 itself (host/windows/).
#pragma once

#include <string>
#include <vector>

#include <windows.h>

// One window as the script and the closing of the session see it.
struct PlatformWindow {
    HWND parent = NULL; // NULL for a top-level window
    bool visible = false;
    bool enabled = false;
    RECT rect = {}; // screen coordinates
    int id = 0;
    std::string class_name;
};

// Every window of the host's process, topmost first.
std::vector<HWND> platform_windows();
bool platform_window_info(HWND hwnd, PlatformWindow *info);

// One touch event at a screen point.
void platform_press(int x, int y);
void platform_move(int x, int y);
void platform_release(int x, int y);

// The session's clock in milliseconds. Only the Linux layer has a virtual clock and can say
// when its next timer falls due.
ULONGLONG platform_clock_ms();
bool platform_clock_is_virtual();
void platform_clock_advance_ms(ULONGLONG ms);
bool platform_timer_next_due(ULONGLONG *due);

// The whole screen as a PNG file.
bool platform_save_png(const std::string &path);
// Releases what the drawing holds before the process ends.
void platform_release_drawing();

// The file system of the PC. A folder made (or already there); the absolute path of an existing
// file or folder; a link at `at` pointing to `folder` (a link left by an earlier run is replaced,
// anything else that has the name is never touched).
bool platform_make_folder(const std::string &dir, std::string *error);
bool platform_real_path(const std::string &path, std::string *out);
bool platform_place_link(const std::string &at, const std::string &folder);
