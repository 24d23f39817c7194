#include "frame.h"

#include "host.h"
#include "idle.h"
#include "title_bar.h"

// The title bar is owned by the frame, so that it stays above it.
bool frame_create() {
    return frame_make_window() && title_bar_create(host.frame) && idle_start();
}
