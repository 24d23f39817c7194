#include <gtest/gtest.h>
#include <string.h>

#include <filesystem>
#include <string>

#include <winlayer.h>

#include "module/setup.h"
#include "module/state.h"
#include "support/descriptors.h"
#include "support/temp_root.h"

namespace {

template <class T>
std::string bytes_of(const T &block) {
    return std::string(reinterpret_cast<const char *>(&block), sizeof block);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        memset(&wfal, 0, sizeof wfal);
        memcpy(wfal.settings_path, u"\\wfal.set", 20);
        setup_defaults();
        defaults_display = wfal.display;
        defaults_header = wfal.header;
        memset(&stored_display, 0, sizeof stored_display);
        memcpy(stored_display.magic, "WFAI", 4);
        stored_display.block_size = 564;
        stored_display.black_level = -120, stored_display.white_level = -10;
        stored_display.level_unit = 2, stored_display.change_threshold = 35;
        memset(stored_display.reserved_head, 0x11, 8);
        memset(stored_display.reserved_tail, 0x22, 520);
        memset(&stored_header, 0, sizeof stored_header);
        memcpy(stored_header.magic, "WFAL", 4);
        stored_header.header_size = 1320;
        stored_header.range = 20000, stored_header.impedance = 600, stored_header.gain = 30;
        memcpy(stored_header.device, u"DEV9", 8);
    }
    TempDeviceRoot root;
    DisplaySettings defaults_display, stored_display;
    ResultHeader defaults_header, stored_header;
};

TEST_F(Settings, LoadTakesValidBlocksInOrder) {
    // The file is both stored blocks, cut to `length` bytes, with `patch` written at `at`.
    struct Case {
        const char *what;
        size_t length, at;
        std::string patch;
        bool display_taken, header_taken;
    };
    const Case cases[] = {
        {"both blocks", 1884, 0, "", true, true},
        {"display only", 564, 0, "", true, false},
        {"short header", 1883, 0, "", true, false},
        {"header magic", 1884, 564 + 56, "WFAI", true, false},
        {"header size", 1884, 564 + 60, "\x29", true, false},
        {"foreign magic", 1884, 0, "WFAL", false, false},
        {"block size", 1884, 4, "\x33", false, false},
        {"short display", 563, 0, "", false, false},
        {"empty", 0, 0, "", false, false},
    };
    const size_t descriptors = open_descriptors();
    for (const Case &c : cases) {
        std::string file = bytes_of(stored_display) + bytes_of(stored_header);
        root.write("wfal.set", file.replace(c.at, c.patch.size(), c.patch).substr(0, c.length));
        wfal.display = defaults_display;
        wfal.header = defaults_header;
        settings_load();
        const DisplaySettings &display = c.display_taken ? stored_display : defaults_display;
        const ResultHeader &header = c.header_taken ? stored_header : defaults_header;
        EXPECT_EQ(memcmp(&wfal.display, &display, sizeof display), 0) << c.what;
        EXPECT_EQ(memcmp(&wfal.header, &header, sizeof header), 0) << c.what;
        EXPECT_EQ(open_descriptors(), descriptors) << c.what << " left the file open";
    }
}

TEST_F(Settings, NoFileKeepsDefaultsAndSaveCreatesIt) {
    settings_load();
    EXPECT_EQ(memcmp(&wfal.display, &defaults_display, sizeof defaults_display), 0);
    EXPECT_EQ(memcmp(&wfal.header, &defaults_header, sizeof defaults_header), 0);
    settings_save();
    std::string saved = root.read("wfal.set");
    ASSERT_EQ(saved.size(), 1884u);
    EXPECT_EQ(saved.substr(0, 8), std::string("WFAI\x34\x02\0\0", 8));
    EXPECT_EQ(saved.substr(564 + 56, 8), std::string("WFAL\x28\x05\0\0", 8));
}

TEST_F(Settings, OutOfRangeValuesAreValidatedAfterLoading) {
    stored_display.black_level = 60;
    stored_display.change_threshold = 0;
    root.write("wfal.set", bytes_of(stored_display));
    settings_load();
    setup_validate();
    EXPECT_EQ(wfal.display.black_level, -90);
    EXPECT_EQ(wfal.display.change_threshold, 20);
    EXPECT_EQ(wfal.display.white_level, -10);
}

TEST_F(Settings, SavedFileReloadsEqualWithReservedBytesCarried) {
    root.write("wfal.set", bytes_of(stored_display) + bytes_of(stored_header));
    settings_load();
    wfal.display.find_threshold = -44;
    wfal.header.input = 1;
    const DisplaySettings display = wfal.display;
    const ResultHeader header = wfal.header;
    settings_save();
    EXPECT_EQ(root.read("wfal.set"), bytes_of(display) + bytes_of(header));
    memset(&wfal.display, 0, sizeof wfal.display);
    memset(&wfal.header, 0, sizeof wfal.header);
    settings_load();
    EXPECT_EQ(memcmp(&wfal.display, &display, sizeof display), 0);
    EXPECT_EQ(memcmp(&wfal.header, &header, sizeof header), 0);
    EXPECT_EQ(memcmp(wfal.display.reserved_tail, stored_display.reserved_tail, 520), 0);
}

TEST_F(Settings, FailedOpenOrWriteLeavesNoValidFile) {
    const size_t descriptors = open_descriptors();
    wl_fault_fail(WL_FAULT_OPEN, 1, FALSE);
    settings_save();
    EXPECT_FALSE(root.exists("wfal.set"));
    wl_fault_fail(WL_FAULT_WRITE, 1, FALSE);
    settings_save();
    wl_fault_reset();
    EXPECT_LT(root.read("wfal.set").size(), 564u);
    EXPECT_EQ(open_descriptors(), descriptors);
}

} // namespace
