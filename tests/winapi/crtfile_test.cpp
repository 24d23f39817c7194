// The file layer as the module meets it, linked with the module's redirected C runtime calls:
// instrument paths under the device root, _wfopen's modes and failures, simulated volumes that
// fill up at their capacity, and the fault seam that fails the n-th call or stores a short write.
#include <errno.h>
#include <stdio.h>
#include <sys/statvfs.h>

#include <array>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>

#include "support/temp_root.h"

namespace {

namespace fs = std::filesystem;

std::string mapped(const std::u16string &path, size_t capacity = 4096) {
    std::vector<char> out(capacity + 1, '#');
    if (!wl_fs_map_path(path.c_str(), out.data(), capacity)) return "(refused)";
    EXPECT_EQ(out[capacity], '#') << "wrote past the buffer";
    return out.data();
}

// Names of up to 255 units and paths of up to 259 map; a path never leaves the root.
TEST(PathMap, InstrumentPathsMapUnderTheDeviceRoot) {
    const std::u16string n255(255, u'n'), p259 = u"\\" + n255 + u"\\" + std::u16string(2, u'b');
    const std::pair<std::u16string, std::string> cases[] = {
        {u"/USB//x.res\\", "/root/USB/x.res"},
        {u"\\USB\\.\\..\\Internal\\x.res", "/root/Internal/x.res"},
        {u"\\USB\\..\\..\\root\\x.res", "(refused)"},
        {u"\\USB\\a:b", "(refused)"},
        {u"\\USB\\\u00e9\U0001F600", "/root/USB/\xc3\xa9\xf0\x9f\x98\x80"},
        {std::u16string(u"\\USB\\") + char16_t(0xD800) + u"x", "(refused)"},
        {u"\\" + n255 + u"n", "(refused)"},
        {p259, "/root/" + std::string(255, 'n') + "/bb"},
        {p259 + u"b", "(refused)"},
    };
    wl_fs_set_root("/root/");
    for (const auto &c : cases)
        EXPECT_EQ(mapped(c.first), c.second) << c.first.size() << " characters";
    EXPECT_EQ(mapped(u"\\USB\\x", 12), "/root/USB/x");
    EXPECT_EQ(mapped(u"\\USB\\x", 11), "(refused)");
}

class CrtFile : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root.dir() + "/USB/sub");
        fs::create_directories(root.dir() + "/Internal");
        wl_fault_reset();
        wl_fs_set_sync(FALSE);
    }
    void TearDown() override {
        wl_fault_reset();
        wl_fs_set_volume_size(u"\\USB", 0);
        wl_fs_set_sync(TRUE);
    }
    // Free to the caller, total and free bytes, or all 0 when the call fails.
    std::array<ULONGLONG, 3> space(const char16_t *dir) {
        ULARGE_INTEGER a{}, t{}, f{};
        if (!GetDiskFreeSpaceExW(dir, &a, &t, &f)) return {0, 0, 0};
        return {a.QuadPart, t.QuadPart, f.QuadPart};
    }
    TempDeviceRoot root;
};

// The file, first "abc", after "XY" is written at its start through each mode the module opens
// with; unknown modes, missing files and folders do not open. A file without write permission
// fails the writing modes with EACCES before anything is truncated.
TEST_F(CrtFile, ModesAndReadOnlyFiles) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"rb", "abc"}, {u"r+b", "XYc"}, {u"wb", "XY"}, {u"r", ""}, {u"rbx", ""}};
    for (const auto &[mode, after] : cases) {
        root.write("USB/f.bin", "abc");
        FILE *f = _wfopen(u"\\USB\\f.bin", mode.c_str());
        ASSERT_EQ(f != nullptr, !after.empty()) << after;
        if (f == nullptr) continue;
        fwrite("XY", 1, 2, f);
        fclose(f);
        EXPECT_EQ(root.read("USB/f.bin"), after);
    }
    fs::permissions(root.dir() + "/USB/f.bin", fs::perms::owner_read);
    for (const char16_t *mode : {u"wb", u"r+b"}) {
        errno = 0;
        EXPECT_EQ(_wfopen(u"\\USB\\f.bin", mode), nullptr);
        EXPECT_EQ(errno, EACCES);
    }
    FILE *reading = _wfopen(u"\\USB\\f.bin", u"rb"); // reading is allowed
    ASSERT_NE(reading, nullptr);
    fclose(reading);
    EXPECT_EQ(root.read("USB/f.bin"), "abc");
    for (const char16_t *path : {u"\\USB\\none.bin", u"\\NoVolume\\x.bin", u"\\USB\\sub\\"})
        EXPECT_EQ(_wfopen(path, path[5] == u'n' ? u"rb" : u"wb"), nullptr);
}

// Capacity 1000: fwrite stores what fits, counts only whole items, and fails with ENOSPC;
// bytes rewritten take no room, other volumes are not limited. Without a simulated volume the
// host file system answers.
TEST_F(CrtFile, AVolumeFillsUpExactlyAtItsCapacity) {
    const struct {
        size_t existing, size, count, returned, stored;
    } cases[] = {{100, 1, 901, 900, 900}, {100, 7, 200, 128, 900}, {0, 1000, 1, 1, 1000}};
    const std::string payload(7000, 'p');
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.existing << " there, " << c.size << " x " << c.count);
        root.write("USB/sub/old.bin", std::string(c.existing, 'o'));
        wl_fs_set_volume_size(u"\\USB", 1000);
        FILE *f = _wfopen(u"\\USB\\new.bin", u"wb");
        errno = 0;
        EXPECT_EQ(fwrite(payload.data(), c.size, c.count, f), c.returned);
        EXPECT_EQ(errno, c.returned < c.count ? ENOSPC : 0);
        EXPECT_EQ(fwrite("x", 1, 1, f), 0u); // the same stream's bytes count at once
        EXPECT_EQ(space(u"\\USB\\")[0], 1000 - c.existing - c.stored);
        fseek(f, 0, SEEK_SET);
        EXPECT_EQ(fwrite(payload.data(), 1, c.stored, f), c.stored); // rewritten
        fclose(f);
        EXPECT_EQ(fs::file_size(root.dir() + "/USB/new.bin"), c.stored);
    }
    EXPECT_EQ(space(u"USB"), (std::array<ULONGLONG, 3>{0, 1000, 0}));
    FILE *other = _wfopen(u"\\Internal\\big.bin", u"wb"); // another volume is not limited
    EXPECT_EQ(fwrite(payload.data(), 1, 5000, other), 5000u);
    fclose(other);
    for (const char16_t *dir : {u"\\Missing\\", u"\\USB\\new.bin", u"\\..\\"})
        EXPECT_EQ(space(dir)[1], 0u) << "only a folder that exists has free space";
    wl_fs_set_volume_size(u"\\USB", 0);
    struct statvfs vfs;
    ASSERT_EQ(statvfs((root.dir() + "/USB").c_str(), &vfs), 0);
    EXPECT_EQ(space(u"\\USB\\sub")[1], ULONGLONG(vfs.f_blocks) * vfs.f_frsize);
}

// The n-th call after arming fails once or for good, changing nothing; other kinds of call go
// on.
TEST_F(CrtFile, TheNthCallFailsOnceOrForGood) {
    root.write("USB/data.bin", std::string(64, 'd'));
    FILE *writer = _wfopen(u"\\USB\\out.bin", u"wb"), *reader = _wfopen(u"\\USB\\data.bin", u"rb");
    auto outcomes = [&](WlFaultOp op, int calls) { // '+' for each call that succeeded
        std::string seen;
        for (char byte; calls-- > 0; clearerr(writer), clearerr(reader)) {
            FILE *f = nullptr;
            seen += (op == WL_FAULT_OPEN    ? (f = _wfopen(u"\\USB\\o.bin", u"wb")) && !fclose(f)
                     : op == WL_FAULT_WRITE ? fwrite("w", 1, 1, writer) == 1
                     : op == WL_FAULT_FLUSH ? fflush(writer) == 0
                                            : fread(&byte, 1, 1, reader) == 1)
                        ? '+'
                        : '-';
        }
        return seen;
    };
    const struct {
        WlFaultOp op;
        int nth;
        BOOL persistent;
        const char *outcomes; // of five calls in a row
    } cases[] = {{WL_FAULT_READ, 3, FALSE, "++-++"},
                 {WL_FAULT_WRITE, 2, FALSE, "+-+++"},
                 {WL_FAULT_FLUSH, 2, TRUE, "+----"},
                 {WL_FAULT_OPEN, 3, TRUE, "++---"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "op " << c.op << " nth " << c.nth);
        wl_fault_reset();
        outcomes(c.op, 2); // counting starts at the arming call, not the reset
        wl_fault_fail(c.op, c.nth, c.persistent);
        EXPECT_EQ(outcomes(c.op, 5), c.outcomes);
        EXPECT_EQ(wl_fault_calls(c.op), 7);
        for (WlFaultOp other : {WL_FAULT_OPEN, WL_FAULT_WRITE, WL_FAULT_FLUSH, WL_FAULT_READ})
            EXPECT_TRUE(other == c.op || outcomes(other, 1) == "+") << other;
    }
    wl_fault_fail(WL_FAULT_OPEN, 1, FALSE);
    errno = 0;
    EXPECT_EQ(_wfopen(u"\\USB\\data.bin", u"wb"), nullptr);
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(root.read("USB/data.bin"), std::string(64, 'd')); // not truncated
    fclose(writer);
    fclose(reader);
}

// A short write stores exactly the first bytes it keeps and counts the whole items among them.
TEST_F(CrtFile, AShortWriteStoresExactlyItsFirstBytes) {
    const std::string payload = "ABCDEFGHIJKLMNOPQRST";
    const struct {
        size_t size, count, keep, returned;
    } cases[] = {{4, 5, 10, 2}, {4, 5, 0, 0}, {4, 5, 20, 5}};
    for (const auto &c : cases) {
        FILE *f = _wfopen(u"\\USB\\short.bin", u"wb");
        wl_fault_short_write(2, c.keep);
        ASSERT_EQ(fwrite("123", 1, 3, f), 3u);
        EXPECT_EQ(fwrite(payload.data(), c.size, c.count, f), c.returned) << c.keep;
        EXPECT_EQ(ferror(f) != 0, c.keep < c.size * c.count) << c.keep;
        EXPECT_EQ(fwrite("zz", 1, 2, f), 2u);
        fclose(f);
        EXPECT_EQ(root.read("USB/short.bin"), "123" + payload.substr(0, c.keep) + "zz");
    }
}

} // namespace
