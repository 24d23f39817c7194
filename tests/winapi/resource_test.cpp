// Module resources as the module finds them: modules by file name, resources by name without
// regard to case and by type, bitmap resources (packed DIBs) loaded as bitmaps or refused. (The
// module ships no bitmaps; its buttons' bitmap faces: the module's button tests.)
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>
#include <winlayer.h>
#include <wlgdi.h>

namespace {

const unsigned char DATA[2][4] = {{1}, {2}};
const DWORD SIZES[] = {4, 2};

// A packed DIB without a palette: the header, then the rows as given.
std::vector<BYTE> dib(LONG width, LONG height, WORD bits, const std::vector<BYTE> &rows) {
    BITMAPINFOHEADER h = {40, width, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> out(sizeof h + rows.size());
    memcpy(out.data(), &h, sizeof h);
    std::copy(rows.begin(), rows.end(), out.begin() + sizeof h);
    return out;
}

// Each bitmap has its DIB's size; pixels top-down as 0x00RRGGBB, none where it is refused.
const struct BitmapCase {
    const char16_t *name;
    std::vector<BYTE> data;
    std::vector<uint32_t> pixels;
} BITMAPS[] = {
    // Bottom-up: the first stored row is the bottom one; rows padded to four bytes.
    {u"RGB24",
     dib(2, 2, 24, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}),
     {0x0000FF, 0xFFFFFF, 0xFF0000, 0x00FF00}},
    {u"RGB16", dib(1, 1, 16, {0, 0, 0, 0}), {}},
};

class Resources : public ::testing::Test {
protected:
    void SetUp() override {
        module = wl_module_register(u"test.dll", &module);
        ASSERT_NE(module, nullptr);
        ASSERT_TRUE(wl_resource_register(module, RT_RCDATA, u"TXT", DATA[0], 4));
        ASSERT_TRUE(wl_resource_register(module, RT_DIALOG, u"DLG1", DATA[1], 2));
        for (const BitmapCase &c : BITMAPS)
            wl_resource_register(module, RT_BITMAP, c.name, c.data.data(), DWORD(c.data.size()));
    }
    void TearDown() override {
        wl_module_unregister(u"test.dll");
        wl_gdi_shutdown();
    }
    HMODULE module = nullptr;
};

// A module by its file name without regard to case; resources by name without regard to case
// and by type; unregistering a module drops its resources.
TEST_F(Resources, ModulesByFileNameOwnTheirResources) {
    EXPECT_EQ(GetModuleHandleW(u"TEST.DLL"), module);
    HRSRC found = FindResourceW(module, u"dlg1", RT_DIALOG);
    EXPECT_EQ(SizeofResource(module, found), SIZES[1]);
    EXPECT_EQ(LockResource(LoadResource(module, found)), DATA[1]);
    EXPECT_EQ(FindResourceW(module, u"TXT", RT_DIALOG), nullptr);
    HGLOBAL loaded = LoadResource(module, FindResourceW(module, u"TXT", RT_RCDATA));
    wl_module_unregister(u"test.dll");
    EXPECT_EQ(LockResource(loaded), nullptr);
    module = wl_module_register(u"test.dll", nullptr);
    EXPECT_EQ(FindResourceW(module, u"TXT", RT_RCDATA), nullptr);
}

TEST_F(Resources, BitmapsLoadTopDownOrAreRefusedWithoutLeaving) {
    for (const BitmapCase &c : BITMAPS) {
        std::string name(c.name, c.name + std::char_traits<char16_t>::length(c.name));
        int objects = wl_gdi_object_count();
        HBITMAP b = LoadBitmapW(module, c.name);
        if (c.pixels.empty()) {
            EXPECT_EQ(b, nullptr) << name;
            EXPECT_EQ(wl_gdi_object_count(), objects) << name;
            continue;
        }
        uint32_t *pixels = nullptr;
        int stride = 0, width = 0, height = 0;
        ASSERT_TRUE(wl_gdi_bitmap_pixels(b, &pixels, &stride, &width, &height)) << name;
        const BITMAPINFOHEADER *h = reinterpret_cast<const BITMAPINFOHEADER *>(c.data.data());
        EXPECT_EQ(std::vector<LONG>({width, height}),
                  std::vector<LONG>({h->biWidth, std::abs(h->biHeight)}))
            << name;
        std::vector<uint32_t> got;
        for (int y = 0; y < height; ++y)
            got.insert(got.end(), pixels + y * stride, pixels + y * stride + width);
        EXPECT_EQ(got, c.pixels) << name;
        EXPECT_TRUE(DeleteObject(b));
    }
}

} // namespace
