// Small drawing helpers for the host's own windows: the title bar and the boxes.
#pragma once

#include <string>

#include <windows.h>

#include "text.h"

// The host's two fonts, made on first use and deleted by draw_release.
HFONT draw_font(bool large);
void draw_release();

void draw_fill(HDC dc, const RECT &rect, COLORREF colour);
// A one-pixel outline just inside `rect`.
void draw_outline(HDC dc, const RECT &rect, COLORREF colour);
// Text in `rect` with DrawTextW's `format`, transparent background.
void draw_text(HDC dc, const WideText &text, const RECT &rect, COLORREF colour, bool large,
               UINT format);
// A key: a face, an outline and its centred caption.
void draw_key(HDC dc, const RECT &rect, const WideText &caption, bool pressed);
bool draw_inside(const RECT &rect, int x, int y);
