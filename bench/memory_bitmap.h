// A memory DC with a 32-bit bitmap of a given size selected into it, for benchmarks that draw
// off screen; everything is released at scope end.
#pragma once

#include <windows.h>

struct MemoryBitmap {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    MemoryBitmap(int width, int height) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        old = SelectObject(dc, bitmap);
    }
    ~MemoryBitmap() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    MemoryBitmap(const MemoryBitmap &) = delete;
    MemoryBitmap &operator=(const MemoryBitmap &) = delete;
};
