// The state of one wfal-host session, shared by the screen, the services, the script and the
// closing of the session; and the log on standard output.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "options.h"
#include "paths.h"
#include "text.h"

struct Script;

// The closing of the session (the desktop window's close button, or the script's "close"),
// stage by stage. Each of the module's dialogs, from the top, goes through the last three.
enum CloseStage {
    CLOSE_NONE,          // the session is not closing
    CLOSE_STOPPING_TEST, // the stop request answers yes; no dialog is closed while a test runs
    CLOSE_SEND_CLOSE,    // the top dialog is to be sent WM_CLOSE
    CLOSE_TAP_ESC,       // it stayed: its Esc key is to be tapped
    CLOSE_LEFT_OPEN,     // it stayed still: nothing more is tried on it
};

struct Host {
    HostOptions options;
    Script *script = nullptr; // null: no script
    PathLinks links;          // PC folders linked into the device root
    HWND frame = NULL;        // the module's parent, the whole screen behind everything
    HWND title_bar = NULL;
    HWND box = NULL; // the open message or entry box on the desktop, if any
    WideText title;  // as the module set it
    bool test_running = false;
    bool stop_key = false;    // the title bar's Stop key was pressed, not yet answered
    bool stop_script = false; // "stop-request on"
    CloseStage closing = CLOSE_NONE;
    HWND closing_dialog = NULL; // the dialog that the closing stage concerns
    int screenshot_number = 0;  // the last print-screen file's number
};

extern Host host;

// Ends the process with `status` from anywhere, the module's dialogs included: the drawing
// state (fonts and their caches) is released first; the windows go with the process.
[[noreturn]] void host_exit(int status);
// One line of the log, written out at once.
void host_log(const std::string &line);
// A fatal error of the script: the message names the line; the host ends with status 2.
[[noreturn]] void host_script_error(int line, const std::string &message);

// The host's own top-level windows, which are never the module's dialogs.
bool host_owns_window(HWND hwnd);
// The topmost visible top-level window of the module, or NULL.
HWND host_top_dialog();
// The controls of `dialog` and of its controls, topmost first.
std::vector<HWND> host_dialog_controls(HWND dialog);
// The topmost visible control of `dialog` whose window text is `text`, or NULL.
HWND host_find_control(HWND dialog, const WideText &text);
// A touch pressed and released at the centre of `control`.
void host_tap_control(HWND control);
WideText host_window_text(HWND hwnd);
// A PC path for a screenshot file: relative names go into the screenshots folder (made if
// missing).
std::string host_screenshot_path(const std::string &name);

// The desktop window's close button (also the script's "close"): a running test is asked to
// stop, then the module's dialogs are closed one by one from the idle moments.
void host_request_close();
bool host_is_closing();
// One move of the closing towards its end. False when there is nothing to do now.
bool host_closing_step();
