// _wfopen and the module's file calls over the instrument's file system and its simulated
// volumes. Linked as the module is, so fwrite and friends go through the layer.
#include <errno.h>
#include <stdio.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>

#include "support/temp_root.h"

namespace {

namespace fs = std::filesystem;

class CrtFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root.dir() + "/USB/sub");
        fs::create_directories(root.dir() + "/Internal");
        wl_fault_reset();
        wl_fs_set_sync(FALSE);
    }
    void TearDown() override {
        wl_fs_set_volume_size(u"\\USB", 0);
        wl_fs_set_sync(TRUE);
    }
    ULONGLONG usb_free() {
        ULARGE_INTEGER avail{};
        EXPECT_TRUE(GetDiskFreeSpaceExW(u"\\USB\\", &avail, nullptr, nullptr));
        return avail.QuadPart;
    }
    size_t write(const char16_t *path, const char16_t *mode, size_t bytes, long at = -1) {
        FILE *f = _wfopen(path, mode);
        EXPECT_NE(f, nullptr);
        if (f == nullptr) return 0;
        if (at >= 0) fseek(f, at, SEEK_SET);
        size_t n = fwrite(std::string(bytes, 'w').data(), 1, bytes, f);
        fclose(f);
        return n;
    }
    TempDeviceRoot root;
};

struct ModeCase {
    std::u16string mode;
    bool reads;
    std::string after; // the file, first "abc", after writing "XY" at its start
};

const ModeCase MODE_CASES[] = {
    {u"rb", true, "abc"},    {u"r+b", true, "XYc"},   {u"rb+", true, "XYc"},
    {u"wb", false, "XY"},    {u"w+b", false, "XY"},   {u"wb+", false, "XY"},
    {u"ab", false, "abcXY"}, {u"a+b", true, "abcXY"}, {u"ab+", true, "abcXY"},
    {u"r", false, "abc"},    {u"w", false, "abc"},    {u"rt", false, "abc"},
    {u"", false, "abc"},     {u"rbx", false, "abc"},
};

TEST_F(CrtFileTest, ModesReadWriteTruncateAndAppendAsOnWindows) {
    for (const ModeCase &c : MODE_CASES) {
        root.write("USB/f.bin", "abc");
        FILE *f = _wfopen(u"\\USB\\f.bin", c.mode.c_str());
        if (f != nullptr) {
            char first = 0;
            EXPECT_EQ(fread(&first, 1, 1, f) == 1, c.reads);
            fseek(f, 0, SEEK_SET);
            fwrite("XY", 1, 2, f);
            fclose(f);
        }
        EXPECT_EQ(f != nullptr, c.after != "abc" || c.reads);
        EXPECT_EQ(root.read("USB/f.bin"), c.after);
    }
}

TEST_F(CrtFileTest, MissingFilesFoldersAndRefusedPathsDoNotOpen) {
    const char16_t *paths[] = {u"\\USB\\none.bin", u"\\NoVolume\\x.bin", u"\\USB", u"\\USB\\sub\\",
                               u"\\..\\escaped.bin"};
    for (const char16_t *path : paths) {
        EXPECT_EQ(_wfopen(path, u"r+b"), nullptr);
        EXPECT_EQ(_wfopen(path, path[1] == u'U' ? u"rb" : u"wb"), nullptr);
    }
    EXPECT_FALSE(fs::exists(fs::path(root.dir()).parent_path() / "escaped.bin"));
    EXPECT_EQ(write(u"usb\\..\\USB\\sub\\made.bin", u"wb", 1), 1u);
    EXPECT_TRUE(root.exists("USB/sub/made.bin"));
}

struct FillCase {
    size_t existing; // bytes already on the volume, capacity 1000
    size_t size;
    size_t count;
    size_t returned;
    size_t stored;
};

const FillCase FILL_CASES[] = {
    {100, 1, 900, 900, 900}, {100, 1, 901, 900, 900}, {100, 10, 95, 90, 900},
    {100, 7, 200, 128, 900}, // the bytes of a partial item are stored, not counted
    {0, 1000, 1, 1, 1000},   {1000, 1, 1, 0, 0},      {1200, 4, 1, 0, 0},
};

TEST_F(CrtFileTest, AVolumeFillsUpExactlyAtItsCapacity) {
    const std::string payload(4096, 'p');
    for (const FillCase &c : FILL_CASES) {
        SCOPED_TRACE(testing::Message() << c.existing << " there, " << c.size << " x " << c.count);
        root.write("USB/sub/old.bin", std::string(c.existing, 'o'));
        wl_fs_set_volume_size(u"\\USB", 1000);
        FILE *f = _wfopen(u"\\USB\\new.bin", u"wb");
        ASSERT_NE(f, nullptr);
        errno = 0;
        EXPECT_EQ(fwrite(payload.data(), c.size, c.count, f), c.returned);
        EXPECT_EQ(ferror(f) != 0, c.returned < c.count);
        EXPECT_EQ(errno, c.returned < c.count ? ENOSPC : 0);
        EXPECT_EQ(usb_free(), 1000 - std::min<size_t>(1000, c.existing + c.stored));
        fclose(f);
        EXPECT_EQ(fs::file_size(root.dir() + "/USB/new.bin"), c.stored);
    }
}

TEST_F(CrtFileTest, BufferedBytesAndOpenFilesCountAgainstTheVolume) {
    FILE *early = _wfopen(u"\\USB\\early.bin", u"wb");
    ASSERT_NE(early, nullptr);
    ASSERT_EQ(fwrite(std::string(300, 'e').data(), 1, 300, early), 300u);
    wl_fs_set_volume_size(u"\\USB", 1000);
    EXPECT_EQ(usb_free(), 700u);
    EXPECT_EQ(write(u"\\USB\\sub\\b.bin", u"wb", 800), 700u);
    // Linux keeps the blocks of a removed file until its last stream closes.
    fs::remove(root.dir() + "/USB/early.bin");
    EXPECT_EQ(usb_free(), 0u);
    fclose(early);
    EXPECT_EQ(usb_free(), 300u);
    FILE *reader = _wfopen(u"\\USB\\sub\\b.bin", u"rb");
    FILE *again = _wfopen(u"\\USB\\sub\\b.bin", u"wb"); // truncated while open
    EXPECT_EQ(usb_free(), 1000u);
    fclose(again);
    fclose(reader);
}

TEST_F(CrtFileTest, RewritingTakesNoSpaceAndAppendingAlwaysDoes) {
    root.write("USB/full.bin", std::string(900, 'f'));
    root.write("USB/log.bin", std::string(100, 'l'));
    wl_fs_set_volume_size(u"\\USB", 1000);
    EXPECT_EQ(write(u"\\USB\\full.bin", u"r+b", 10), 10u);
    EXPECT_EQ(write(u"\\USB\\full.bin", u"r+b", 10, 895), 5u);
    EXPECT_EQ(root.read("USB/full.bin").substr(890), "fffffwwwww");
    EXPECT_EQ(write(u"\\USB\\log.bin", u"a+b", 2, 0), 0u);
    EXPECT_EQ(write(u"\\Internal\\big.bin", u"wb", 5000), 5000u);
    EXPECT_EQ(write(u"\\top.bin", u"wb", 5000), 5000u);
    FILE *plain = fopen((root.dir() + "/USB/plain.bin").c_str(), "wb"); // not the module's
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(fwrite(std::string(5000, 'p').data(), 1, 5000, plain), 5000u);
    fclose(plain);
}

// A write-only stream's position is kept by the seam without asking the stream: after seeks it
// must still charge exactly the bytes beyond the file's end.
TEST_F(CrtFileTest, WriteOnlyStreamsAreChargedFromWhereTheyStand) {
    wl_fs_set_volume_size(u"\\USB", 1000);
    FILE *f = _wfopen(u"\\USB\\w.bin", u"wb");
    ASSERT_NE(f, nullptr);
    const std::string bytes(600, 'w');
    EXPECT_EQ(fwrite(bytes.data(), 1, 600, f), 600u);
    ASSERT_EQ(fseek(f, 100, SEEK_SET), 0);
    EXPECT_EQ(fwrite(bytes.data(), 1, 600, f), 600u); // 500 rewritten, 100 new
    EXPECT_EQ(fflush(f), 0);
    EXPECT_EQ(usb_free(), 300u);
    ASSERT_EQ(fseek(f, 0, SEEK_END), 0);
    EXPECT_EQ(fwrite(bytes.data(), 1, 600, f), 300u); // only the room that is left
    fclose(f);
    EXPECT_EQ(root.read("USB/w.bin").size(), 1000u);
}

// A file without write permission is a read-only file: every mode that writes is refused with
// EACCES before anything is truncated, even for root, while reading still works.
TEST_F(CrtFileTest, ReadOnlyFilesOpenOnlyForReading) {
    struct Case {
        fs::perms perms;
        bool writable;
    };
    const Case cases[] = {{fs::perms::owner_read | fs::perms::group_read, false},
                          {fs::perms::owner_read | fs::perms::owner_write, true},
                          {fs::perms::owner_read | fs::perms::others_write, true}};
    for (const Case &c : cases) {
        for (const ModeCase &m : MODE_CASES) {
            if (m.after == "abc") continue; // the modes that don't write, or don't open at all
            root.write("USB/ro.bin", "abc");
            fs::permissions(root.dir() + "/USB/ro.bin", c.perms);
            errno = 0;
            FILE *f = _wfopen(u"\\USB\\ro.bin", m.mode.c_str());
            EXPECT_EQ(f != nullptr, c.writable) << std::string(m.mode.begin(), m.mode.end());
            if (f != nullptr) fclose(f);
            if (!c.writable) {
                EXPECT_EQ(errno, EACCES);
                EXPECT_EQ(root.read("USB/ro.bin"), "abc");
            }
            FILE *reader = _wfopen(u"\\USB\\ro.bin", u"rb");
            EXPECT_NE(reader, nullptr);
            if (reader != nullptr) fclose(reader);
            fs::permissions(root.dir() + "/USB/ro.bin", fs::perms::owner_all);
        }
    }
}

} // namespace
