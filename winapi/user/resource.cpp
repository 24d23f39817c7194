// Resources of the window manager: LoadBitmapW. A bitmap resource is a packed DIB (the header,
// the colour table and the rows, as a .bmp file holds them after its file header); it becomes a
// bitmap of the screen's 32-bit format.
#include <string.h>

#include <windows.h>

#include "gdi/gdi_internal.h"

namespace {

// Where the parts of a DIB lie, once its header has been checked against the data's size.
struct DibLayout {
    int width;
    int height; // rows
    bool bottom_up;
    int bits;
    const BYTE *colours; // RGBQUAD entries
    DWORD colour_count;
    const BYTE *rows; // first row in memory
    size_t stride;    // bytes per row, DWORD-aligned
};

bool bits_supported(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

// Colour table entries: a palette for 1 to 8 bits (all of it unless biClrUsed says fewer);
// beyond that only what biClrUsed declares, which is skipped.
bool colour_count_of(const BITMAPINFOHEADER &h, DWORD *count) {
    if (h.biBitCount > 8) {
        *count = h.biClrUsed;
        return h.biClrUsed <= 256;
    }
    DWORD full = DWORD(1) << h.biBitCount;
    *count = h.biClrUsed ? h.biClrUsed : full;
    return *count <= full;
}

bool dib_parse(const BYTE *data, DWORD size, DibLayout *out) {
    BITMAPINFOHEADER h;
    if (!data || size < sizeof h) return false;
    memcpy(&h, data, sizeof h);
    if (h.biSize < sizeof h || h.biSize > size || h.biPlanes != 1 || h.biCompression != BI_RGB)
        return false;
    if (!bits_supported(h.biBitCount) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN)
        return false;
    DWORD colours;
    if (!colour_count_of(h, &colours)) return false;
    uint64_t rows = uint64_t(h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight);
    uint64_t stride = (uint64_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
    uint64_t need = uint64_t(h.biSize) + uint64_t(colours) * 4 + stride * rows;
    if (need > size) return false;
    *out = DibLayout{int(h.biWidth),
                     int(rows),
                     h.biHeight > 0,
                     h.biBitCount,
                     data + h.biSize,
                     colours,
                     data + h.biSize + size_t(colours) * 4,
                     size_t(stride)};
    return true;
}

uint32_t palette_pixel(const DibLayout &d, unsigned index) {
    if (index >= d.colour_count) return 0; // an index past the table reads as black
    const BYTE *q = d.colours + size_t(index) * 4;
    return uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
}

// Pixel x of a row, as 0x00RRGGBB.
uint32_t dib_pixel(const DibLayout &d, const BYTE *row, int x) {
    switch (d.bits) {
    case 1: return palette_pixel(d, (row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return palette_pixel(d, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
    case 8: return palette_pixel(d, row[x]);
    default: {
        const BYTE *p = row + size_t(x) * size_t(d.bits / 8);
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    }
}

HBITMAP bitmap_from_dib(const DibLayout &d) {
    HBITMAP bitmap = gdi_bitmap_create(d.width, d.height);
    GdiObject *o = gdi_lookup(bitmap, GDI_BITMAP);
    if (!o) return nullptr;
    for (int y = 0; y < d.height; ++y) {
        // A positive DIB height stores the bottom row first.
        const BYTE *row = d.rows + size_t(d.bottom_up ? d.height - 1 - y : y) * d.stride;
        uint32_t *out = o->pixels.data() + size_t(y) * size_t(d.width);
        for (int x = 0; x < d.width; ++x)
            out[x] = dib_pixel(d, row, x);
    }
    return bitmap;
}

} // namespace

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    if (!instance || !name) return nullptr;
    HRSRC resource = FindResourceW(instance, name, RT_BITMAP);
    if (!resource) return nullptr;
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(instance, resource)));
    DibLayout layout;
    if (!dib_parse(data, SizeofResource(instance, resource), &layout)) return nullptr;
    return bitmap_from_dib(layout);
}
