// Frame loading and time navigation: the one operation through which the module changes what
// the spectrogram and the spectrum graph show, the navigation keys' enabling, and the message
// pump of long operations.
#pragma once

#include <windows.h>

// view_update's requests.
constexpr int VIEW_OPENED = 0;     // a file was opened for viewing
constexpr int VIEW_STILL_MODE = 1; // a test stopped or froze
constexpr int VIEW_CURSOR = 2;     // the time cursor moved
constexpr int VIEW_STARTED = 3;    // a test started
constexpr int VIEW_NEW_RECORD = 4; // a test wrote a record
constexpr int VIEW_LINE_UP = 5;
constexpr int VIEW_LINE_DOWN = 6;
constexpr int VIEW_FIND = 7;
constexpr int VIEW_DISPLAY = 8; // the display settings changed
constexpr int VIEW_TOP = 9;
constexpr int VIEW_PAGE_UP = 10;
constexpr int VIEW_PAGE_DOWN = 11;

void view_update(int request);
// Empties the graph and the view, as before a file is opened or a test starts, and has the main
// dialog's graph and spectrogram repaint when the dialog exists.
void view_clear();
// Enables "˄", "˅", "Top", "PgUp", "PgDn" and "Find" of the main dialog by the cursor and the
// scroll position.
void view_enable_keys();
// Dispatches the thread's waiting messages; returns when the queue is empty.
void pump_messages();
