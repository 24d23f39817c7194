// The handle table and DC model: stale and wrong handles fail as Windows fails, selection
// returns the previous object, deletion of selected objects, stock objects, view DCs.
#include <gtest/gtest.h>

#include <windows.h>
#include <wlgdi.h>

#include "gdi/gdi_internal.h"
#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3);

TEST(Handles, DeletingTwiceFailsTheSecondTime) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 1, 1));
    HBRUSH brush = CreateSolidBrush(RGB(2, 2, 2));
    HFONT font = CreateFontW(14, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    for (HGDIOBJ o : {HGDIOBJ(pen), HGDIOBJ(brush), HGDIOBJ(font), HGDIOBJ(bitmap)}) {
        EXPECT_TRUE(DeleteObject(o));
        EXPECT_FALSE(DeleteObject(o));
    }
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(Handles, AReusedSlotDoesNotReviveAnOldHandle) {
    HPEN first = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    DeleteObject(first);
    HPEN second = CreatePen(PS_SOLID, 1, RGB(8, 8, 8));
    EXPECT_NE(first, second);
    EXPECT_FALSE(DeleteObject(first));
    LOGPEN lp;
    EXPECT_EQ(GetObjectW(first, sizeof lp, &lp), 0);
    EXPECT_EQ(GetObjectW(second, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnColor, RGB(8, 8, 8));
    EXPECT_TRUE(DeleteObject(second));
}

TEST(Handles, JunkAndWrongTypesAreRefused) {
    TestBitmap b(2, 2, SENTINEL);
    HBRUSH brush = CreateSolidBrush(RGB(5, 5, 5));
    EXPECT_EQ(SelectObject(b.dc, nullptr), nullptr);
    EXPECT_EQ(SelectObject(b.dc, reinterpret_cast<HGDIOBJ>(uintptr_t(0x12345))), nullptr);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(brush), brush), nullptr); // a brush as DC
    EXPECT_EQ(SelectObject(b.dc, b.dc), nullptr);                          // a DC as object
    EXPECT_FALSE(DeleteObject(b.dc));                                      // DCs go by DeleteDC
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(brush)));
    EXPECT_FALSE(LineTo(reinterpret_cast<HDC>(brush), 1, 1));
    EXPECT_EQ(GetStockObject(9), nullptr); // no such stock object here
    EXPECT_EQ(GetStockObject(-1), nullptr);
    DeleteObject(brush);
}

TEST(DeletedDc, EveryCallFailsQuietly) {
    HDC dc = CreateCompatibleDC(nullptr);
    DeleteDC(dc);
    RECT r{0, 0, 1, 1};
    POINT pts[3] = {{0, 0}, {1, 0}, {0, 1}};
    EXPECT_FALSE(MoveToEx(dc, 0, 0, nullptr));
    EXPECT_FALSE(LineTo(dc, 1, 1));
    EXPECT_FALSE(Polyline(dc, pts, 3));
    EXPECT_FALSE(Polygon(dc, pts, 3));
    EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
    EXPECT_EQ(SetBkColor(dc, 0), CLR_INVALID);
    EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);
    EXPECT_EQ(CreateCompatibleDC(dc), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 2, 2), nullptr);
}

TEST(SelectObject, ReturnsThePreviousObjectOfEachKind) {
    TestBitmap b(3, 1, SENTINEL);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(7, 7, 7));
    HBRUSH brush = CreateSolidBrush(RGB(6, 6, 6));
    EXPECT_EQ(SelectObject(b.dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(b.dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(b.dc, GetStockObject(NULL_PEN)), HGDIOBJ(pen));
    EXPECT_EQ(SelectObject(b.dc, GetStockObject(WHITE_BRUSH)), HGDIOBJ(brush));
    HFONT font = CreateFontW(14, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
    EXPECT_EQ(SelectObject(b.dc, font), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(SelectObject(b.dc, GetStockObject(SYSTEM_FONT)), HGDIOBJ(font));
    for (HGDIOBJ o : {HGDIOBJ(pen), HGDIOBJ(brush), HGDIOBJ(font)})
        EXPECT_TRUE(DeleteObject(o));
}

TEST(SelectObject, ADeletedPenIsRefusedAndTheOldPenStays) {
    TestBitmap b(3, 1, SENTINEL);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 200, 0));
    DeleteObject(pen);
    EXPECT_EQ(SelectObject(b.dc, pen), nullptr);
    LineTo(b.dc, 2, 0);
    EXPECT_EQ(b.picture({{RGB(0, 0, 0), '#'}}), "##.");
}

TEST(DeleteObject, ASelectedPenGoesWhenTheDcLetsGo) {
    TestBitmap b(3, 1, SENTINEL);
    int before = wl_gdi_object_count();
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 200, 0));
    HGDIOBJ old = SelectObject(b.dc, pen);
    EXPECT_TRUE(DeleteObject(pen));
    LineTo(b.dc, 2, 0); // still drawn with the selected pen
    EXPECT_EQ(b.picture({{RGB(0, 200, 0), '#'}}), "##.");
    EXPECT_EQ(wl_gdi_object_count(), before + 1);
    SelectObject(b.dc, old);
    EXPECT_EQ(wl_gdi_object_count(), before);
    EXPECT_FALSE(DeleteObject(pen));
}

TEST(Bitmaps, OneDcAtATimeAndNotDeletedWhileSelected) {
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(a);
    HBITMAP bm = CreateCompatibleBitmap(a, 5, 3);
    HGDIOBJ old = SelectObject(a, bm);
    EXPECT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(b, bm), nullptr);
    EXPECT_FALSE(DeleteObject(bm));
    BITMAP info;
    EXPECT_EQ(GetObjectW(bm, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(SelectObject(a, old), HGDIOBJ(bm));
    EXPECT_NE(SelectObject(b, bm), nullptr);
    DeleteDC(b); // lets go of the bitmap
    EXPECT_TRUE(DeleteObject(bm));
    DeleteDC(a);
}

TEST(Bitmaps, SizesAndStartingColour) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 4), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 1 << 20, 1 << 20), nullptr); // far too large
    HBITMAP empty = CreateCompatibleBitmap(dc, 0, 7);
    BITMAP info;
    ASSERT_EQ(GetObjectW(empty, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    HBITMAP bm = CreateCompatibleBitmap(dc, 3, 2);
    uint32_t *pixels;
    int stride, w, h;
    ASSERT_TRUE(wl_gdi_bitmap_pixels(bm, &pixels, &stride, &w, &h));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pixels[i], 0u); // black
    EXPECT_FALSE(wl_gdi_bitmap_pixels(reinterpret_cast<HBITMAP>(dc), &pixels, &stride, &w, &h));
    DeleteObject(bm);
    DeleteDC(dc);
}

TEST(StockObjects, AreSharedAndSurviveDeletion) {
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), white);
    EXPECT_TRUE(DeleteObject(white));
    TestBitmap b(2, 1, SENTINEL);
    RECT r{0, 0, 2, 1};
    EXPECT_NE(FillRect(b.dc, &r, static_cast<HBRUSH>(white)), 0);
    EXPECT_EQ(b.at(1, 0), RGB(255, 255, 255));
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectW(GetStockObject(NULL_BRUSH), sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbStyle, UINT(BS_NULL));
    LOGPEN lp;
    GetObjectW(GetStockObject(WHITE_PEN), sizeof lp, &lp);
    EXPECT_EQ(lp.lopnColor, RGB(255, 255, 255));
}

TEST(GetObject, AnswersSizesAndCutsToTheBuffer) {
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"arial");
    EXPECT_EQ(GetObjectW(font, 0, nullptr), int(sizeof(LOGFONTW)));
    LOGFONTW lf;
    EXPECT_EQ(GetObjectW(font, sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"arial");
    LONG height = 0;
    EXPECT_EQ(GetObjectW(font, sizeof height, &height), int(sizeof height));
    EXPECT_EQ(height, -12);
    DeleteObject(font);
}

TEST(Pens, OnlySolidAndNullStyles) {
    EXPECT_EQ(CreatePen(2, 1, 0), nullptr); // dotted: not drawn by this layer
    HPEN zero = CreatePen(PS_SOLID, 0, RGB(0, 0, 250));
    TestBitmap b(3, 1, SENTINEL);
    SelectObject(b.dc, zero);
    LineTo(b.dc, 3, 0); // width 0 draws one pixel wide
    EXPECT_EQ(b.picture({{RGB(0, 0, 250), '#'}}), "###");
    SelectObject(b.dc, GetStockObject(BLACK_PEN));
    DeleteObject(zero);
}

TEST(Counting, DrawingCodeThatCleansUpLeavesNothingBehind) {
    int before = wl_gdi_object_count();
    {
        TestBitmap b(4, 4, SENTINEL);
        HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
        EXPECT_EQ(wl_gdi_object_count(), before + 3); // DC, bitmap, brush
        DeleteObject(brush);
    }
    EXPECT_EQ(wl_gdi_object_count(), before);
}

TEST(Shutdown, MakesEveryHandleStaleAndStartsAfresh) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    wl_gdi_shutdown();
    EXPECT_EQ(wl_gdi_object_count(), 0);
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_FALSE(DeleteDC(dc));
    HGDIOBJ white_again = GetStockObject(WHITE_BRUSH);
    EXPECT_NE(white_again, nullptr);
    EXPECT_NE(white_again, white);
    TestBitmap b(1, 1, SENTINEL);
    RECT r{0, 0, 1, 1};
    FillRect(b.dc, &r, static_cast<HBRUSH>(white_again));
    EXPECT_EQ(b.at(0, 0), RGB(255, 255, 255));
}

// A view DC is what a window's DC is: logical (0, 0) at the window's place on the screen
// bitmap, drawing only inside the visible part.
TEST(ViewDc, DrawsThroughItsOriginAndOnlyInsideItsClip) {
    TestBitmap screen(6, 4, SENTINEL);
    SelectObject(screen.dc, screen.old_bitmap); // the screen bitmap is not in a memory DC
    HDC view = gdi_dc_create_view(screen.bitmap, POINT{2, 1}, ClipRect{1, 1, 5, 3});
    ASSERT_NE(view, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 250));
    RECT all{-10, -10, 10, 10};
    FillRect(view, &all, brush);
    MoveToEx(view, -1, 1, nullptr);
    LineTo(view, 3, 1); // surface (1..4, 2)
    EXPECT_EQ(screen.picture({{RGB(0, 0, 250), 'b'}, {RGB(0, 0, 0), '#'}}),
              picture_rows({"......", ".bbbb.", ".####.", "......"}));
    // A window DC draws on the screen, never on a bitmap of its own.
    EXPECT_EQ(SelectObject(view, screen.bitmap), nullptr);
    EXPECT_TRUE(gdi_dc_set_view(view, POINT{0, 0}, ClipRect{0, 3, 2, 4}));
    FillRect(view, &all, brush);
    EXPECT_EQ(screen.picture({{RGB(0, 0, 250), 'b'}, {RGB(0, 0, 0), '#'}}),
              picture_rows({"......", ".bbbb.", ".####.", "bb...."}));
    EXPECT_FALSE(DeleteObject(screen.bitmap)); // in use by the view
    EXPECT_TRUE(DeleteDC(view));
    DeleteObject(brush);
    screen.old_bitmap = SelectObject(screen.dc, screen.bitmap);
}

} // namespace
