#include <sys/statvfs.h>

#include <array>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>

#include "support/temp_root.h"

namespace {

class DiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root.dir() + "/USB/sub");
        std::filesystem::create_directories(root.dir() + "/Internal");
    }
    void TearDown() override { wl_fs_set_volume_size(u"\\USB", 0); }
    // Free to the caller, total and free bytes, or all 0 when the call fails.
    std::array<ULONGLONG, 3> space(const char16_t *dir) {
        ULARGE_INTEGER a{}, t{}, f{};
        if (!GetDiskFreeSpaceExW(dir, &a, &t, &f)) return {0, 0, 0};
        return {a.QuadPart, t.QuadPart, f.QuadPart};
    }
    TempDeviceRoot root;
};

TEST_F(DiskTest, WithoutSimulationTheFolderFileSystemAnswers) {
    struct statvfs vfs;
    ASSERT_EQ(statvfs((root.dir() + "/USB").c_str(), &vfs), 0);
    for (const char16_t *dir : {u"\\USB\\", u"\\", u"\\USB\\sub"}) {
        auto s = space(dir);
        EXPECT_EQ(s[1], ULONGLONG(vfs.f_blocks) * vfs.f_frsize);
        EXPECT_TRUE(s[0] <= s[2] && s[2] <= s[1]);
        // Others may write meanwhile; 64 MiB of slack keeps the check honest but stable.
        EXPECT_NEAR(double(s[0]), double(vfs.f_bavail) * vfs.f_frsize, 64.0 * 1024 * 1024);
    }
}

TEST_F(DiskTest, ASimulatedVolumeAnswersWithItsCapacity) {
    root.write("USB/a.res", std::string(1000, 'a'));
    root.write("USB/sub/b.res", std::string(2345, 'b'));
    wl_fs_set_volume_size(u"\\USB", 10000);
    for (const char16_t *dir : {u"\\USB\\", u"USB", u"\\USB\\sub\\"})
        EXPECT_EQ(space(dir), (std::array<ULONGLONG, 3>{6655, 10000, 6655}));
    EXPECT_NE(space(u"\\Internal\\")[1], 10000u);
    root.write("USB/late.res", std::string(655, 'l')); // written behind the layer's back
    EXPECT_EQ(space(u"\\USB\\")[0], 6000u);
    wl_fs_set_volume_size(u"\\USB\\", 3000); // less than what is there
    EXPECT_EQ(space(u"\\USB\\")[0], 0u);
    wl_fs_set_volume_size(u"\\USB", 0);
    EXPECT_NE(space(u"\\USB\\")[1], 3000u);
}

TEST_F(DiskTest, OnlyAFolderThatExistsHasFreeSpace) {
    root.write("USB/file.res", "x");
    ULARGE_INTEGER only{};
    for (const char16_t *dir : {u"\\Missing\\", u"\\USB\\file.res", u"\\..\\", u"\\USB\\a?"})
        EXPECT_FALSE(GetDiskFreeSpaceExW(dir, &only, nullptr, nullptr));
    wl_fs_set_volume_size(u"\\USB", 4096);
    EXPECT_TRUE(GetDiskFreeSpaceExW(u"\\USB\\", nullptr, nullptr, nullptr));
    EXPECT_TRUE(GetDiskFreeSpaceExW(u"\\USB\\", nullptr, &only, nullptr));
    EXPECT_EQ(only.QuadPart, 4096u);
}

} // namespace
