// The fault seam as the module meets it: linked with the module's redirected file calls.
#include <errno.h>
#include <stdio.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>

#include "support/temp_root.h"

namespace {

class FaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root.dir() + "/USB");
        root.write("USB/data.bin", std::string(64, 'd'));
        writer = _wfopen(u"\\USB\\out.bin", u"wb");
        reader = _wfopen(u"\\USB\\data.bin", u"rb");
        ASSERT_TRUE(writer != nullptr && reader != nullptr);
        wl_fault_reset();
    }
    void TearDown() override {
        fclose(writer);
        fclose(reader);
        wl_fault_reset();
    }
    // One call of `op` on the module's streams; true when it succeeded.
    bool call(WlFaultOp op) {
        char byte;
        switch (op) {
        case WL_FAULT_OPEN: {
            FILE *f = _wfopen(u"\\USB\\other.bin", u"wb");
            return f != nullptr && fclose(f) == 0;
        }
        case WL_FAULT_WRITE: return fwrite("w", 1, 1, writer) == 1;
        case WL_FAULT_FLUSH: return fflush(writer) == 0;
        case WL_FAULT_READ: return fread(&byte, 1, 1, reader) == 1;
        }
        return false;
    }
    std::string outcomes(WlFaultOp op, int calls) {
        std::string seen;
        for (int i = 0; i < calls; i++)
            seen += call(op) ? '+' : '-';
        return seen;
    }
    TempDeviceRoot root;
    FILE *writer = nullptr;
    FILE *reader = nullptr;
};

struct FailCase {
    WlFaultOp op;
    int nth;
    BOOL persistent;
    const char *outcomes; // of five calls in a row: '+' succeeded, '-' failed
};

const FailCase FAIL_CASES[] = {
    {WL_FAULT_OPEN, 1, FALSE, "-++++"},  {WL_FAULT_OPEN, 3, TRUE, "++---"},
    {WL_FAULT_WRITE, 2, FALSE, "+-+++"}, {WL_FAULT_WRITE, 1, TRUE, "-----"},
    {WL_FAULT_FLUSH, 5, FALSE, "++++-"}, {WL_FAULT_FLUSH, 2, TRUE, "+----"},
    {WL_FAULT_READ, 3, FALSE, "++-++"},  {WL_FAULT_READ, 4, TRUE, "+++--"},
};

TEST_F(FaultTest, TheNthCallFailsOnceOrForGood) {
    for (const FailCase &c : FAIL_CASES) {
        SCOPED_TRACE(testing::Message() << "op " << c.op << " nth " << c.nth);
        outcomes(c.op, 2); // counting starts after the arming call, not at the reset
        wl_fault_fail(c.op, c.nth, c.persistent);
        EXPECT_EQ(outcomes(c.op, 5), c.outcomes);
        EXPECT_EQ(wl_fault_calls(c.op), 7);
        for (WlFaultOp other : {WL_FAULT_OPEN, WL_FAULT_WRITE, WL_FAULT_FLUSH, WL_FAULT_READ})
            EXPECT_TRUE(other == c.op || call(other)) << "op " << other;
        wl_fault_reset();
    }
}

TEST_F(FaultTest, FailedCallsChangeNothingAndMarkTheStream) {
    wl_fault_fail(WL_FAULT_OPEN, 1, FALSE);
    errno = 0;
    EXPECT_EQ(_wfopen(u"\\USB\\data.bin", u"wb"), nullptr);
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(root.read("USB/data.bin"), std::string(64, 'd')); // not truncated
    wl_fault_fail(WL_FAULT_READ, 1, FALSE);
    char got[4] = {};
    EXPECT_EQ(fread(got, 1, 4, reader), 0u);
    EXPECT_TRUE(ferror(reader));
    EXPECT_EQ(ftell(reader), 0L);
    wl_fault_fail(WL_FAULT_WRITE, 1, FALSE);
    EXPECT_EQ(fwrite("abc", 1, 3, writer), 0u);
    EXPECT_TRUE(ferror(writer));
    clearerr(writer);
    wl_fault_fail(WL_FAULT_FLUSH, 1, FALSE);
    EXPECT_EQ(fflush(writer), EOF);
    EXPECT_TRUE(ferror(writer));
    EXPECT_EQ(fflush(writer), 0);
    EXPECT_EQ(root.read("USB/out.bin"), "");
}

struct ShortCase {
    size_t size;
    size_t count;
    size_t keep;
    size_t returned;
};

const ShortCase SHORT_CASES[] = {
    {1, 10, 4, 4}, {4, 5, 10, 2}, {4, 5, 0, 0}, {4, 5, 19, 4}, {4, 5, 20, 5}, {4, 5, 100, 5},
};

TEST_F(FaultTest, AShortWriteStoresExactlyItsFirstBytes) {
    const std::string payload = "ABCDEFGHIJKLMNOPQRST";
    for (const ShortCase &c : SHORT_CASES) {
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

TEST_F(FaultTest, OnlyTheModulesCallsCountAndResetClearsAll) {
    FILE *plain = fopen((root.dir() + "/USB/plain.bin").c_str(), "w+b");
    ASSERT_NE(plain, nullptr);
    for (WlFaultOp op : {WL_FAULT_WRITE, WL_FAULT_READ, WL_FAULT_FLUSH})
        wl_fault_fail(op, 1, TRUE);
    EXPECT_EQ(fwrite("abc", 1, 3, plain), 3u);
    EXPECT_EQ(fflush(plain), 0);
    rewind(plain);
    char got[3];
    EXPECT_EQ(fread(got, 1, 3, plain), 3u);
    fclose(plain);
    // Every _wfopen counts as an open, also one that fails for its path or mode.
    EXPECT_EQ(_wfopen(u"\\..\\x", u"rb"), nullptr);
    EXPECT_EQ(_wfopen(u"\\USB\\data.bin", u"r"), nullptr);
    EXPECT_EQ(wl_fault_calls(WL_FAULT_OPEN), 2);
    EXPECT_EQ(wl_fault_calls(WL_FAULT_WRITE) + wl_fault_calls(WL_FAULT_READ) +
                  wl_fault_calls(WL_FAULT_FLUSH),
              0);
    wl_fault_fail(WL_FAULT_OPEN, 1, TRUE);
    wl_fault_short_write(1, 0);
    wl_fault_reset();
    EXPECT_EQ(wl_fault_calls(WL_FAULT_OPEN), 0);
    EXPECT_EQ(outcomes(WL_FAULT_WRITE, 1) + outcomes(WL_FAULT_FLUSH, 1) +
                  outcomes(WL_FAULT_OPEN, 1) + outcomes(WL_FAULT_READ, 1),
              "++++");
}

TEST_F(FaultTest, ANullStreamFailsInsteadOfCrashing) {
    FILE *volatile none = nullptr;
    char byte = 0;
    EXPECT_EQ(fwrite(&byte, 1, 1, none) + fread(&byte, 1, 1, none), 0u);
    EXPECT_EQ(fseek(none, 0, SEEK_SET), -1);
    EXPECT_EQ(ftell(none), -1L);
    EXPECT_EQ(fclose(none), EOF);
    EXPECT_EQ(errno, EINVAL);
}

} // namespace
