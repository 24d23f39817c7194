// The handle table and the DC model: stale and wrong handles fail, selection answers the
// previous object, a selected object outlives its deletion until the DC lets go, a bitmap lives
// in one DC at a time, stock objects are shared and undeletable until shutdown.
#include <gtest/gtest.h>

#include <windows.h>
#include <wlgdi.h>

#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3), GREEN = RGB(0, 200, 0);

// A freed slot's handle stays dead when the slot is reused; no call takes a handle of the
// wrong kind, and every call on a deleted DC fails.
TEST(Handles, StaleAndWrongKindsAreRefused) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN first = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_FALSE(DeleteObject(first));
    HPEN second = CreatePen(PS_SOLID, 1, RGB(8, 8, 8));
    LOGPEN lp;
    EXPECT_EQ(GetObjectW(first, sizeof lp, &lp), 0);
    EXPECT_EQ(GetObjectW(second, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnColor, RGB(8, 8, 8));
    EXPECT_EQ(SelectObject(dc, dc), nullptr);
    EXPECT_FALSE(DeleteObject(dc)); // DCs go by DeleteDC
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(LineTo(dc, 1, 1));
    EXPECT_EQ(SelectObject(dc, second), nullptr);
    DeleteObject(second);
}

// A DC starts with the black pen and the white brush; a deleted pen cannot be selected; a
// selected one draws on after DeleteObject and goes when the DC selects another.
TEST(SelectObject, KeepsADeletedObjectUntilTheDcLetsGo) {
    TestBitmap b(3, 1, SENTINEL);
    int before = wl_gdi_object_count();
    HPEN dead = CreatePen(PS_SOLID, 1, GREEN), pen = CreatePen(PS_SOLID, 0, GREEN);
    DeleteObject(dead);
    EXPECT_EQ(SelectObject(b.dc, dead), nullptr);
    EXPECT_EQ(SelectObject(b.dc, GetStockObject(WHITE_BRUSH)), GetStockObject(WHITE_BRUSH));
    HGDIOBJ old = SelectObject(b.dc, pen);
    EXPECT_EQ(old, GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteObject(pen));
    LineTo(b.dc, 3, 0); // width 0 draws one pixel wide
    EXPECT_EQ(b.picture({{GREEN, '#'}}), "###");
    EXPECT_EQ(wl_gdi_object_count(), before + 1);
    EXPECT_EQ(SelectObject(b.dc, old), HGDIOBJ(pen));
    EXPECT_EQ(wl_gdi_object_count(), before);
    EXPECT_FALSE(DeleteObject(pen));
}

TEST(Bitmaps, OneDcAtATimeAndNotDeletedWhileSelected) {
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(a);
    HBITMAP bm = CreateCompatibleBitmap(a, 5, 3);
    HGDIOBJ old = SelectObject(a, bm);
    EXPECT_EQ(SelectObject(b, bm), nullptr);
    EXPECT_FALSE(DeleteObject(bm));
    EXPECT_EQ(SelectObject(a, old), HGDIOBJ(bm));
    EXPECT_NE(SelectObject(b, bm), nullptr);
    DeleteDC(b); // lets go of the bitmap
    EXPECT_TRUE(DeleteObject(bm));
    uint32_t *pixels;
    int stride, w, h;
    ASSERT_TRUE(wl_gdi_bitmap_pixels(CreateCompatibleBitmap(a, 3, 2), &pixels, &stride, &w, &h));
    EXPECT_EQ(std::vector<uint32_t>(pixels, pixels + 6), std::vector<uint32_t>(6, 0)); // black
    DeleteDC(a);
    // Stock objects survive DeleteObject; shutdown makes every handle stale, stock ones included.
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectW(white, sizeof lb, &lb), int(sizeof lb));
    wl_gdi_shutdown();
    EXPECT_EQ(wl_gdi_object_count(), 0);
    EXPECT_NE(GetStockObject(WHITE_BRUSH), white);
}

} // namespace
