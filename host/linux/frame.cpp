#include "frame.h"

#include <wluser.h>

#include "boxes.h"
#include "host.h"
#include "title_bar.h"

// The desktop window's close button reaches the frame.
bool frame_create() {
    if (!box_register() || !frame_make_window() || !title_bar_create(NULL)) return false;
    wl_screen_set_close_target(host.frame);
    return true;
}
