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

TEST(PathMap, InstrumentPathsMapUnderTheDeviceRoot) {
    const std::u16string name_255(255, u'n'),
        path_259 = u"\\" + std::u16string(200, u'a') + u"\\" + std::u16string(57, u'b');
    const std::pair<std::u16string, std::string> cases[] = {
        {u"/USB//x.res\\", "/root/USB/x.res"},
        {u"\\USB\\.\\..\\Internal\\x.res", "/root/Internal/x.res"},
        {u"", "/root"},
        {u"\\USB\\..\\..\\root\\x.res", "(refused)"},
        {u"\\USB\\a:b", "(refused)"},
        {u"\\USB\\\u00e9\U0001F600", "/root/USB/\xc3\xa9\xf0\x9f\x98\x80"},
        {std::u16string(u"\\USB\\") + char16_t(0xD800) + u"x", "(refused)"},
        {u"\\" + name_255, "/root/" + std::string(255, 'n')},
        {u"\\" + name_255 + u"n", "(refused)"},
        {path_259, "/root/" + std::string(200, 'a') + "/" + std::string(57, 'b')},
        {path_259 + u"b", "(refused)"},
    };
    wl_fs_set_root("/root/");
    for (const auto &c : cases)
        EXPECT_EQ(mapped(c.first), c.second) << c.first.size() << " characters";
    EXPECT_EQ(mapped(u"\\USB\\x", 12), "/root/USB/x");
    EXPECT_EQ(mapped(u"\\USB\\x", 11), "(refused)");
    wl_fs_set_root(nullptr);
    EXPECT_EQ(mapped(u"\\USB\\x"), "./USB/x");
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

// The file, first "abc", after writing "XY" at its start through each mode the module opens
// with; "abc" also where the mode does not open. A file without write permission opens for
// reading only: the writing modes fail with EACCES before truncating anything.
TEST_F(CrtFile, ModesAndReadOnlyFiles) {
    const struct {
        std::u16string mode;
        bool reads;
        std::string after;
    } cases[] = {{u"rb", true, "abc"},
                 {u"r+b", true, "XYc"},
                 {u"wb", false, "XY"},
                 {u"r", false, "abc"},
                 {u"rbx", false, "abc"}};
    for (const auto &c : cases) {
        for (bool read_only : {false, true}) {
            SCOPED_TRACE(std::string(c.mode.begin(), c.mode.end()) + (read_only ? " ro" : ""));
            root.write("USB/f.bin", "abc");
            fs::permissions(root.dir() + "/USB/f.bin",
                            read_only ? fs::perms::owner_read : fs::perms::owner_all);
            bool writes = c.after != "abc";
            errno = 0;
            FILE *f = _wfopen(u"\\USB\\f.bin", c.mode.c_str());
            EXPECT_EQ(f != nullptr, (c.reads && !writes) || (writes && !read_only));
            EXPECT_TRUE(!(writes && read_only) || errno == EACCES) << errno;
            if (f != nullptr) {
                char first = 0;
                EXPECT_EQ(fread(&first, 1, 1, f) == 1, c.reads);
                fseek(f, 0, SEEK_SET);
                fwrite("XY", 1, 2, f);
                fclose(f);
            }
            EXPECT_EQ(root.read("USB/f.bin"), read_only ? "abc" : c.after);
            fs::permissions(root.dir() + "/USB/f.bin", fs::perms::owner_all);
        }
    }
    for (const char16_t *path : {u"\\USB\\none.bin", u"\\NoVolume\\x.bin", u"\\USB\\sub\\"})
        EXPECT_EQ(_wfopen(path, path[5] == u'n' ? u"rb" : u"wb"), nullptr);
}

// Capacity 1000: fwrite stores what fits, counts only whole items, and fails with ENOSPC;
// bytes rewritten take no room, other volumes are not limited.
TEST_F(CrtFile, AVolumeFillsUpExactlyAtItsCapacity) {
    const struct {
        size_t existing, size, count, returned, stored;
    } cases[] = {{100, 1, 901, 900, 900}, {100, 7, 200, 128, 900}, {0, 1000, 1, 1, 1000}};
    const std::string payload(4096, 'p');
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.existing << " there, " << c.size << " x " << c.count);
        root.write("USB/sub/old.bin", std::string(c.existing, 'o'));
        wl_fs_set_volume_size(u"\\USB", 1000);
        FILE *f = _wfopen(u"\\USB\\new.bin", u"wb");
        ASSERT_NE(f, nullptr);
        errno = 0;
        EXPECT_EQ(fwrite(payload.data(), c.size, c.count, f), c.returned);
        EXPECT_EQ(errno, c.returned < c.count ? ENOSPC : 0);
        EXPECT_EQ(space(u"\\USB\\")[0], 1000 - std::min<size_t>(1000, c.existing + c.stored));
        fclose(f);
        EXPECT_EQ(fs::file_size(root.dir() + "/USB/new.bin"), c.stored);
    }
    fs::remove(root.dir() + "/USB/new.bin");
    root.write("USB/sub/old.bin", std::string(300, 'f'));
    EXPECT_EQ(write(u"\\USB\\sub\\old.bin", u"r+b", 10, 200), 10u); // rewritten
    EXPECT_EQ(write(u"\\USB\\sub\\old.bin", u"r+b", 800, 295), 705u);
    EXPECT_EQ(root.read("USB/sub/old.bin").substr(290), "fffff" + std::string(705, 'w'));
    EXPECT_EQ(space(u"USB"), (std::array<ULONGLONG, 3>{0, 1000, 0}));
    EXPECT_EQ(write(u"\\Internal\\big.bin", u"wb", 5000), 5000u);
    for (const char16_t *dir : {u"\\Missing\\", u"\\USB\\sub\\old.bin", u"\\..\\"})
        EXPECT_EQ(space(dir)[1], 0u) << "only a folder that exists has free space";
    // Without a simulated volume the host file system answers for the folder.
    wl_fs_set_volume_size(u"\\USB", 0);
    struct statvfs vfs;
    ASSERT_EQ(statvfs((root.dir() + "/USB").c_str(), &vfs), 0);
    EXPECT_EQ(space(u"\\USB\\sub")[1], ULONGLONG(vfs.f_blocks) * vfs.f_frsize);
}

// Each call of `op` on the module's streams, '+' where it succeeded.
std::string outcomes(WlFaultOp op, int calls, FILE *writer, FILE *reader) {
    std::string seen;
    for (int i = 0; i < calls; i++) {
        char byte;
        FILE *f = nullptr;
        bool ok = op == WL_FAULT_OPEN    ? (f = _wfopen(u"\\USB\\o.bin", u"wb")) && !fclose(f)
                  : op == WL_FAULT_WRITE ? fwrite("w", 1, 1, writer) == 1
                  : op == WL_FAULT_FLUSH ? fflush(writer) == 0
                                         : fread(&byte, 1, 1, reader) == 1;
        seen += ok ? '+' : '-';
    }
    return seen;
}

// The n-th call after arming fails once or for good; other kinds of call go on; a failed call
// changes nothing and marks the stream. Streams the module did not open are not counted.
TEST_F(CrtFile, TheNthCallFailsOnceOrForGood) {
    root.write("USB/data.bin", std::string(64, 'd'));
    FILE *writer = _wfopen(u"\\USB\\out.bin", u"wb"), *reader = _wfopen(u"\\USB\\data.bin", u"rb");
    const struct {
        WlFaultOp op;
        int nth;
        BOOL persistent;
        const char *outcomes; // of five calls in a row
    } cases[] = {{WL_FAULT_OPEN, 3, TRUE, "++---"},
                 {WL_FAULT_WRITE, 2, FALSE, "+-+++"},
                 {WL_FAULT_FLUSH, 2, TRUE, "+----"},
                 {WL_FAULT_READ, 3, FALSE, "++-++"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "op " << c.op << " nth " << c.nth);
        wl_fault_reset();
        outcomes(c.op, 2, writer, reader); // counting starts at the arming call, not the reset
        wl_fault_fail(c.op, c.nth, c.persistent);
        EXPECT_EQ(outcomes(c.op, 5, writer, reader), c.outcomes);
        EXPECT_EQ(wl_fault_calls(c.op), 7);
        for (WlFaultOp other : {WL_FAULT_OPEN, WL_FAULT_WRITE, WL_FAULT_FLUSH, WL_FAULT_READ})
            EXPECT_TRUE(other == c.op || outcomes(other, 1, writer, reader) == "+") << other;
        clearerr(writer);
        clearerr(reader);
    }
    wl_fault_reset();
    wl_fault_fail(WL_FAULT_OPEN, 1, FALSE);
    errno = 0;
    EXPECT_EQ(_wfopen(u"\\USB\\data.bin", u"wb"), nullptr);
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(root.read("USB/data.bin"), std::string(64, 'd')); // not truncated
    long at = ftell(reader);
    char got[4];
    wl_fault_fail(WL_FAULT_READ, 1, FALSE);
    EXPECT_EQ(fread(got, 1, 4, reader), 0u);
    EXPECT_TRUE(ferror(reader));
    EXPECT_EQ(ftell(reader), at);
    fclose(writer);
    fclose(reader);
    FILE *plain = fopen((root.dir() + "/USB/plain.bin").c_str(), "wb");
    wl_fault_fail(WL_FAULT_WRITE, 1, TRUE);
    EXPECT_EQ(fwrite("abc", 1, 3, plain), 3u);
    fclose(plain);
    EXPECT_EQ(wl_fault_calls(WL_FAULT_WRITE), 0);
}

// A short write stores exactly the first bytes it keeps and counts the whole items among them.
TEST_F(CrtFile, AShortWriteStoresExactlyItsFirstBytes) {
    const std::string payload = "ABCDEFGHIJKLMNOPQRST";
    const struct {
        size_t size, count, keep, returned;
    } cases[] = {{1, 10, 4, 4}, {4, 5, 10, 2}, {4, 5, 0, 0}, {4, 5, 20, 5}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " x " << c.count << " keep " << c.keep);
        FILE *f = _wfopen(u"\\USB\\short.bin", u"wb");
        ASSERT_NE(f, nullptr);
        wl_fault_short_write(2, c.keep);
        ASSERT_EQ(fwrite("123", 1, 3, f), 3u);
        EXPECT_EQ(fwrite(payload.data(), c.size, c.count, f), c.returned);
        size_t kept = std::min(c.keep, c.size * c.count);
        EXPECT_EQ(ferror(f) != 0, kept < c.size * c.count);
        EXPECT_EQ(fwrite("zz", 1, 2, f), 2u);
        fclose(f);
        EXPECT_EQ(root.read("USB/short.bin"), "123" + payload.substr(0, kept) + "zz");
    }
}

} // namespace
