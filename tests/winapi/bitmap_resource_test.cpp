// LoadBitmapW: bitmap resources (packed DIBs) of a module as bitmaps, and the refusals; and the
// module entry point's DisableThreadLibraryCalls.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include <windows.h>
#include <winlayer.h>
#include <wlgdi.h>

namespace {

int anchor;

// A packed DIB: header, palette, then the rows as given (already padded).
std::vector<BYTE> dib(LONG width, LONG height, WORD bits, const std::vector<DWORD> &palette,
                      const std::vector<BYTE> &rows, DWORD compression = BI_RGB,
                      DWORD colours_used = 0) {
    BITMAPINFOHEADER h = {40, width, height, 1, bits, compression, 0, 0, 0, colours_used, 0};
    std::vector<BYTE> out(sizeof h);
    memcpy(out.data(), &h, sizeof h);
    for (DWORD c : palette) // 0x00RRGGBB, stored blue first
        for (int k = 0; k < 4; ++k)
            out.push_back(BYTE(c >> (8 * k)));
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

struct LoadCase {
    const char16_t *name;
    std::vector<BYTE> data;
    int width, height;
    std::vector<uint32_t> pixels; // top-down, 0x00RRGGBB; empty: refused
};

const std::vector<LoadCase> &cases() {
    static const std::vector<LoadCase> all = {
        // Bottom-up: the first stored row is the bottom one; rows padded to four bytes.
        {u"RGB24",
         dib(2, 2, 24, {},
             {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0}),
         2,
         2,
         {0x0000FF, 0xFFFFFF, 0xFF0000, 0x00FF00}},
        {u"TOPDOWN32", dib(1, -2, 32, {}, {1, 2, 3, 0, 4, 5, 6, 0}), 1, 2, {0x030201, 0x060504}},
        {u"PAL8",
         dib(3, 1, 8, {0x112233, 0x445566}, {1, 0, 1, 0}, BI_RGB, 2),
         3,
         1,
         {0x445566, 0x112233, 0x445566}},
        {u"PAL1",
         dib(10, 1, 1, {0x000000, 0xFFFFFF}, {0xA5, 0x80, 0, 0}),
         10,
         1,
         {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0}},
        {u"PASTPALETTE",
         dib(2, 1, 8, {0xFFFFFF}, {0, 7, 0, 0}, BI_RGB, 1),
         2,
         1,
         {0xFFFFFF, 0x000000}},
        {u"SHORT", dib(2, 2, 24, {}, std::vector<BYTE>(15, 0)), 0, 0, {}},
        // Without biClrUsed an 8-bit palette has all 256 entries: two are too few.
        {u"FULLPALETTE", dib(1, 1, 8, {0, 0}, {0, 0, 0, 0}), 0, 0, {}},
        {u"RLE8", dib(2, 1, 8, {0, 0}, {0, 0, 0, 0}, 1), 0, 0, {}},
    };
    return all;
}

class BitmapResource : public ::testing::Test {
protected:
    HMODULE module = nullptr;
    void SetUp() override {
        module = wl_module_register(u"bitmaps.dll", &anchor);
        for (const LoadCase &c : cases())
            wl_resource_register(module, RT_BITMAP, c.name, c.data.data(), DWORD(c.data.size()));
    }
    void TearDown() override {
        wl_module_unregister(u"bitmaps.dll");
        wl_gdi_shutdown();
    }
};

TEST_F(BitmapResource, LoadsAndRefuses) {
    for (const LoadCase &c : cases()) {
        std::string name(c.name, c.name + std::char_traits<char16_t>::length(c.name));
        int objects = wl_gdi_object_count();
        HBITMAP b = LoadBitmapW(module, c.name);
        if (c.pixels.empty()) {
            EXPECT_EQ(b, nullptr) << name;
            EXPECT_EQ(wl_gdi_object_count(), objects) << name;
            continue;
        }
        ASSERT_NE(b, nullptr) << name;
        BITMAP info;
        ASSERT_EQ(GetObjectW(b, sizeof info, &info), int(sizeof info));
        EXPECT_EQ(info.bmWidth, c.width) << name;
        EXPECT_EQ(info.bmHeight, c.height) << name;
        uint32_t *pixels = nullptr;
        int stride = 0;
        ASSERT_TRUE(wl_gdi_bitmap_pixels(b, &pixels, &stride, nullptr, nullptr));
        std::vector<uint32_t> got;
        for (int y = 0; y < c.height; ++y)
            got.insert(got.end(), pixels + y * stride, pixels + y * stride + c.width);
        EXPECT_EQ(got, c.pixels) << name;
        EXPECT_TRUE(DeleteObject(b));
    }
}

TEST_F(BitmapResource, OnlyFromAModuleThatHasIt) {
    EXPECT_EQ(LoadBitmapW(module, u"MISSING"), nullptr);
    EXPECT_EQ(LoadBitmapW(nullptr, u"RGB24"), nullptr); // no system bitmaps
    EXPECT_EQ(LoadBitmapW(module, nullptr), nullptr);
    EXPECT_EQ(LoadBitmapW(reinterpret_cast<HINSTANCE>(&anchor), u"RGB24"), nullptr);
}

TEST_F(BitmapResource, DisableThreadLibraryCallsWantsALoadedModule) {
    EXPECT_TRUE(DisableThreadLibraryCalls(module));
    EXPECT_FALSE(DisableThreadLibraryCalls(nullptr));
    EXPECT_FALSE(DisableThreadLibraryCalls(reinterpret_cast<HMODULE>(&anchor)));
}

} // namespace
