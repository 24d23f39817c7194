// The host's service callback and its codes: what the instrument's application does for the
// module (titles, message boxes, entry boxes, screen printing, help, the test indicator and the
// stop request).
#pragma once

#include <windows.h>

// Called as (code, a, b, c); every argument may carry a pointer.
typedef INT_PTR(CALLBACK *HostService)(int code, INT_PTR a, INT_PTR b, INT_PTR c);

constexpr int HOST_SET_TITLE = 1;      // a: title
constexpr int HOST_EDIT_TEXT = 2;      // a: title, b: text buffer, c: capacity 511
constexpr int HOST_ENTER_NUMBER = 3;   // a: title, b: unit text, c: current value
constexpr int HOST_EDIT_PATH = 4;      // a: title, b: path buffer, c: capacity 259
constexpr int HOST_MESSAGE_BOX = 5;    // a: caption, b: text, c: HOST_MB_* flags
constexpr int HOST_PRINT_SCREEN = 6;   // no arguments
constexpr int HOST_TEST_RUNNING = 7;   // c: 1 a test started, 0 it stopped
constexpr int HOST_STOP_REQUESTED = 8; // answers non-zero to stop
constexpr int HOST_HELP = 9;           // c: topic, a HELP_* bit

// HOST_MESSAGE_BOX flags and the answer that means yes.
constexpr int HOST_MB_ERROR = 16;
constexpr int HOST_MB_INFORMATION = 64;
constexpr int HOST_MB_QUESTION = 52;
constexpr int HOST_ANSWER_YES = 6;

// help_mask bits, also the HOST_HELP topics: whose dialog keeps its help key.
constexpr int HELP_TEST_SETUP = 1;
constexpr int HELP_DISPLAY_SETUP = 2;
constexpr int HELP_SAVE_SECTION = 4;
