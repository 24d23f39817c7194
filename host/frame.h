// The host's screen: the frame behind everything (the module's parent window, which hears the
// desktop window's close button), with the title bar and the boxes above it.
#pragma once

#include <windows.h>

// The instrument's screen.
constexpr int HOST_SCREEN_WIDTH = 800;
constexpr int HOST_SCREEN_HEIGHT = 480;

// Registers one of the host's window classes.
bool frame_register_class(const WCHAR *name, WNDPROC proc);
// Makes the frame (host.frame) at the screen's top-left corner, where the module places its
// dialogs.
bool frame_make_window();
// Registers the host's window classes and makes the frame and the title bar (per platform).
bool frame_create();
