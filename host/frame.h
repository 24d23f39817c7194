// The host's screen: the frame behind everything (the module's parent window, which hears the
// desktop window's close button) and the 37-pixel title bar with the module's title, the
// recording indicator and the host's Stop key.
#pragma once

#include <windows.h>

constexpr int TITLE_BAR_HEIGHT = 37;
// The host's Stop key in the title bar: a press asks the running test (or section save) to stop.
constexpr RECT TITLE_STOP_KEY = {700, 4, 795, 33};
// The recording indicator's place, left of the Stop key.
constexpr RECT TITLE_RECORDING = {610, 4, 690, 33};
constexpr COLORREF TITLE_BACKGROUND = RGB(40, 40, 48);
constexpr COLORREF TITLE_RECORDING_COLOUR = RGB(230, 0, 0);

// Registers the host's window classes and makes the frame and the title bar.
bool frame_create();
// Shows the title, the indicator and the Stop key as the host's state has them now.
void frame_refresh_title();
