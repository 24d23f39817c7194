// The settings file: a display block and a header block, each taken whole or not at all.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include <winlayer.h>

#include "module/state.h"
#include "support/descriptors.h"
#include "support/temp_root.h"

namespace {

template <class T>
std::string bytes_of(const T &block) {
    return std::string(reinterpret_cast<const char *>(&block), sizeof block);
}

// A stored file whose blocks differ from the state's blocks in every byte but the identities.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        memcpy(wfal.settings_path, u"\\wfal.set", 20);
        memset(&stored_display, 0x11, sizeof stored_display), stored_display.block_size = 564;
        memcpy(stored_display.magic, "WFAI", 4);
        memset(&stored_header, 0x22, sizeof stored_header), stored_header.header_size = 1320;
        memcpy(stored_header.magic, "WFAL", 4);
        memset(&state_display, 0x33, sizeof state_display);
        memset(&state_header, 0x44, sizeof state_header);
        wfal.display = state_display, wfal.header = state_header;
    }
    void expect_state(const DisplaySettings &display, const ResultHeader &header) {
        EXPECT_EQ(bytes_of(wfal.display), bytes_of(display));
        EXPECT_EQ(bytes_of(wfal.header), bytes_of(header));
    }
    TempDeviceRoot root;
    DisplaySettings stored_display, state_display;
    ResultHeader stored_header, state_header;
};

TEST_F(Settings, LoadTakesValidBlocksInOrder) {
    // The file is both stored blocks, cut to `length` bytes, with `patch` written at `at`.
    const struct {
        const char *what;
        size_t length, at;
        std::string patch;
        bool display_taken, header_taken;
    } cases[] = {
        {"both blocks", 1884, 0, "", true, true},
        {"short header", 1883, 0, "", true, false},
        {"header magic", 1884, 564 + 56, "WFAI", true, false},
        {"header size", 1884, 564 + 60, "\x29", true, false},
        {"foreign magic", 1884, 0, "WFAL", false, false},
        {"block size", 1884, 4, "\x33", false, false},
        {"short display", 563, 0, "", false, false},
    };
    const size_t descriptors = open_descriptors();
    for (const auto &c : cases) {
        std::string file = bytes_of(stored_display) + bytes_of(stored_header);
        root.write("wfal.set", file.replace(c.at, c.patch.size(), c.patch).substr(0, c.length));
        wfal.display = state_display, wfal.header = state_header;
        settings_load();
        SCOPED_TRACE(c.what);
        expect_state(c.display_taken ? stored_display : state_display,
                     c.header_taken ? stored_header : state_header);
        EXPECT_EQ(open_descriptors(), descriptors) << "left the file open";
    }
}

// Nobody is told of a failed save: no file, or one too short to load. (A save that loads back is
// the flow tests/flows/test_settings.flow.)
TEST_F(Settings, FailedOpenOrWriteLeavesNoValidFile) {
    const size_t descriptors = open_descriptors();
    wl_fault_fail(WL_FAULT_OPEN, 1, FALSE), settings_save();
    EXPECT_FALSE(root.exists("wfal.set"));
    wl_fault_fail(WL_FAULT_WRITE, 1, FALSE), settings_save();
    wl_fault_reset();
    EXPECT_LT(root.read("wfal.set").size(), 564u);
    EXPECT_EQ(open_descriptors(), descriptors);
}

} // namespace
