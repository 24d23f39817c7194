// The geometry of the window scroll bar: where its arrows, trough and thumb lie for a state, which
// part a point falls on, and the position a dragged thumb stands for. Pure functions of the
// state and the bar's size, shared by the drawing and the tracking code.
#pragma once

#include "user/user_internal.h"

// The parts of the bar from top to bottom.
enum ScrollPart {
    SCROLL_NONE,
    SCROLL_LINE_UP,   // the upper arrow
    SCROLL_PAGE_UP,   // the trough above the thumb
    SCROLL_THUMB,     // the thumb
    SCROLL_PAGE_DOWN, // the trough below the thumb
    SCROLL_LINE_DOWN, // the lower arrow
};

// The smallest thumb of a proportional bar (a large range with a small page).
constexpr int SCROLL_MIN_THUMB = 8;
// Holding an arrow or the trough repeats its request: first after this delay, then at the
// interval, on the layer's clock.
constexpr UINT SCROLL_FIRST_DELAY = 200;
constexpr UINT SCROLL_REPEAT_DELAY = 50;
// The id of the timer that the scroll bar owns on its window while a touch holds it.
constexpr UINT_PTR SCROLL_TIMER_ID = 0xFFFA;

// Offsets along the bar, from its top edge.
struct ScrollLayout {
    int length;     // the bar's height
    int arrow;      // the height of each arrow button
    int thumb_top;  // where the thumb starts
    int thumb_size; // 0: no thumb (disabled, or no room for it)
};

// The highest position: max - max(page - 1, 0).
int scroll_max_pos(const ScrollBarState &s);
// The layout of a bar `width` wide and `length` high; the thumb stands at the tracking position
// while a drag runs, else at the position.
ScrollLayout scroll_layout(const ScrollBarState &s, int width, int length);
// The part at an offset along the bar; SCROLL_NONE off the bar and on a disabled one.
ScrollPart scroll_part_at(const ScrollBarState &s, const ScrollLayout &l, int y);
// The position that a thumb whose top edge lies at `thumb_top` stands for, rounded to the
// nearest and held to the range.
int scroll_thumb_value(const ScrollBarState &s, const ScrollLayout &l, int thumb_top);
