// Stored reference images: a surface is compared pixel for pixel with tests/golden/NAME.png.
// On a mismatch the actual image and a difference image (differing pixels red, equal ones
// faded) are written as NAME.actual.png and NAME.diff.png under the build folder's golden/.
// With WFAL_UPDATE_GOLDEN=1 in the environment the stored image is written instead.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdi/raster/surface.h"

::testing::AssertionResult golden_match(const Surface &surface, const char *name);

// Reads an 8-bit PNG into 0x00RRGGBB pixels (stride = width). False if it can't be read.
bool png_read(const std::string &path, std::vector<uint32_t> *pixels, int *width, int *height);
