#include "support/golden.h"

#include <png.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <wlgdi.h>

bool png_read(const std::string &path, std::vector<uint32_t> *pixels, int *width, int *height) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_BGRA; // little-endian 0xAARRGGBB
    pixels->assign(size_t(image.width) * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, pixels->data(), 0, nullptr)) return false;
    for (uint32_t &p : *pixels)
        p &= 0xFFFFFF;
    *width = int(image.width), *height = int(image.height);
    return true;
}

namespace {

bool update_mode() {
    const char *v = getenv("WFAL_UPDATE_GOLDEN");
    return v && strcmp(v, "1") == 0;
}

// The differing pixels, the first of them, and an image of them: differing pixels red, equal
// pixels faded three quarters toward white.
int compare(const Surface &s, const std::vector<uint32_t> &expected, int *fx, int *fy,
            std::vector<uint32_t> *diff) {
    int n = 0;
    diff->assign(size_t(s.width) * s.height, 0xFF0000);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const uint32_t a = s.pixels[size_t(y) * s.stride + x];
            if (a != expected[size_t(y) * s.width + x]) {
                if (n++ == 0) *fx = x, *fy = y;
                continue;
            }
            uint32_t &fade = (*diff)[size_t(y) * s.width + x];
            fade = 0;
            for (int shift = 0; shift < 24; shift += 8)
                fade |= ((((a >> shift) & 0xFF) + 3 * 255) / 4) << shift;
        }
    }
    return n;
}

} // namespace

::testing::AssertionResult golden_match(const Surface &surface, const char *name) {
    std::string stored = std::string(WFAL_SOURCE_DIR) + "/tests/golden/" + name + ".png";
    if (update_mode()) {
        if (!wl_png_write(surface.pixels, surface.stride, surface.width, surface.height,
                          stored.c_str())) {
            return ::testing::AssertionFailure() << "cannot write " << stored;
        }
        return ::testing::AssertionSuccess() << "updated " << stored;
    }
    std::string out_dir = std::string(WFAL_BINARY_DIR) + "/golden";
    mkdir(out_dir.c_str(), 0777);
    std::string actual = out_dir + "/" + name + ".actual.png";
    std::vector<uint32_t> expected;
    int w = 0, h = 0;
    bool readable = png_read(stored, &expected, &w, &h);
    if (readable && w == surface.width && h == surface.height) {
        int fx = 0, fy = 0;
        std::vector<uint32_t> diff;
        const int n = compare(surface, expected, &fx, &fy, &diff);
        if (n == 0) return ::testing::AssertionSuccess();
        std::string diff_path = out_dir + "/" + name + ".diff.png";
        wl_png_write(diff.data(), surface.width, surface.width, surface.height, diff_path.c_str());
        wl_png_write(surface.pixels, surface.stride, surface.width, surface.height, actual.c_str());
        return ::testing::AssertionFailure()
               << n << " pixels differ from " << stored << ", the first at (" << fx << ", " << fy
               << "); see " << actual << " and " << diff_path;
    }
    wl_png_write(surface.pixels, surface.stride, surface.width, surface.height, actual.c_str());
    return ::testing::AssertionFailure()
           << (readable ? "size differs from " : "cannot read ") << stored << " (actual "
           << surface.width << " x " << surface.height << " in " << actual
           << "); scripts/update-golden writes it after a deliberate change";
}
