// A small memory DC with a 32-bit bitmap pre-filled with a sentinel colour, for drawing tests
// that check every pixel, and pictures of it as text ('.' for the sentinel).
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct TestBitmap {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    int width = 0;
    int height = 0;
    uint32_t *pixels = nullptr; // 0x00RRGGBB, stride = width

    TestBitmap(int w, int h, COLORREF sentinel);
    ~TestBitmap();
    TestBitmap(const TestBitmap &) = delete;
    TestBitmap &operator=(const TestBitmap &) = delete;

    // The pixel's colour as a COLORREF.
    COLORREF at(int x, int y) const;
    void set(int x, int y, COLORREF c);
    // Rows of characters, joined by '\n': each pixel is the character of its colour in
    // `legend`, '.' for the sentinel, '?' for any other colour.
    std::string picture(const std::vector<std::pair<COLORREF, char>> &legend) const;

    COLORREF sentinel;
};

// Joins rows with '\n', the form picture() answers in.
std::string picture_rows(const std::vector<std::string> &rows);
