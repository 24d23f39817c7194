#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>

namespace {

std::string mapped(const std::u16string &path, size_t capacity = 4096) {
    std::vector<char> out(capacity + 1, '#');
    if (!wl_fs_map_path(path.c_str(), out.data(), capacity)) return "(refused)";
    EXPECT_EQ(out[capacity], '#') << "wrote past the buffer";
    return out.data();
}

const std::u16string NAME_255(255, u'n');
const std::u16string PATH_259 =
    u"\\" + std::u16string(200, u'a') + u"\\" + std::u16string(57, u'b');

const std::pair<std::u16string, std::string> MAP_CASES[] = {
    {u"\\USB\\test1.res", "/root/USB/test1.res"},
    {u"USB\\test1.res", "/root/USB/test1.res"},
    {u"\\Internal\\a\\b\\c.res", "/root/Internal/a/b/c.res"},
    {u"/USB//x.res\\", "/root/USB/x.res"},
    {u"\\USB\\.\\..\\Internal\\x.res", "/root/Internal/x.res"},
    {u"\\", "/root"},
    {u"", "/root"},
    {u"\\..\\x.res", "(refused)"},
    {u"\\USB\\..\\..\\root\\x.res", "(refused)"},
    {u"\\USB\\a:b", "(refused)"},
    {u"\\USB\\a*b", "(refused)"},
    {u"\\USB\\a\tb", "(refused)"},
    {u"\\USB\\\u00e9t\u00e9.res", "/root/USB/\xc3\xa9t\xc3\xa9.res"},
    {u"\\USB\\\u6e2c\u5b9a", "/root/USB/\xe6\xb8\xac\xe5\xae\x9a"},
    {u"\\USB\\\U0001F600.res", "/root/USB/\xf0\x9f\x98\x80.res"},
    {std::u16string(u"\\USB\\") + char16_t(0xD800) + u"x", "(refused)"},
    {std::u16string(u"\\USB\\") + char16_t(0xDC00), "(refused)"},
    {u"\\" + NAME_255, "/root/" + std::string(255, 'n')},
    {u"\\" + NAME_255 + u"n", "(refused)"},
    {PATH_259, "/root/" + std::string(200, 'a') + "/" + std::string(57, 'b')},
    {PATH_259 + u"b", "(refused)"},
};

TEST(FileMapTest, InstrumentPathsMapUnderTheDeviceRoot) {
    wl_fs_set_root("/root");
    for (const auto &c : MAP_CASES)
        EXPECT_EQ(mapped(c.first), c.second) << c.first.size() << " characters";
    EXPECT_EQ(mapped(u"\\USB\\x", 12), "/root/USB/x");
    EXPECT_EQ(mapped(u"\\USB\\x", 11), "(refused)");
    char out[64];
    EXPECT_FALSE(wl_fs_map_path(nullptr, out, sizeof out));
}

struct RootCase {
    const char *root;
    const char *root_seen;
    const char *mapped;
};

const RootCase ROOT_CASES[] = {
    {"/data/dev/", "/data/dev", "/data/dev/USB/x"},
    {"/", "/", "/USB/x"},
    {"relative", "relative", "relative/USB/x"},
    {nullptr, ".", "./USB/x"},
};

TEST(FileMapTest, TheRootIsKeptWithoutTrailingSlashes) {
    for (const RootCase &c : ROOT_CASES) {
        wl_fs_set_root(c.root);
        EXPECT_STREQ(wl_fs_root(), c.root_seen);
        EXPECT_EQ(mapped(u"\\USB\\x"), c.mapped);
    }
}

} // namespace
