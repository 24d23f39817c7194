// Drawing steps that the module's windows share.
#pragma once

#include <windows.h>

// A line from (x0, y0) to (x1, y1) in the DC's pen; like every GDI line it leaves out its last
// point.
inline void draw_line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, NULL);
    LineTo(dc, x1, y1);
}
