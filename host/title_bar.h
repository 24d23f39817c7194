// The host's title bar, the top 37 pixels of the screen: the title the module set, a red "REC"
// while a test runs, and the host's Stop key.
#pragma once

#include <windows.h>

constexpr int TITLE_BAR_HEIGHT = 37;
// The host's Stop key in the title bar: a press asks the running test (or section save) to stop.
constexpr RECT TITLE_STOP_KEY = {700, 4, 795, 33};
// The recording indicator's place, left of the Stop key.
constexpr RECT TITLE_RECORDING = {610, 4, 690, 33};
constexpr COLORREF TITLE_BACKGROUND = RGB(40, 40, 48);
constexpr COLORREF TITLE_RECORDING_COLOUR = RGB(230, 0, 0);

// Registers the title bar's window class and makes the bar (host.title_bar), owned by `owner`
// when one is given so that it stays above it.
bool title_bar_create(HWND owner);
// Shows the title, the indicator and the Stop key as the host's state has them now.
void title_bar_refresh();
