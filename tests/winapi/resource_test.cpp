#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>

namespace {

const unsigned char DATA[5][4] = {{1}, {2}, {3}, {4}, {5}};

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = wl_module_register(u"test.dll", &module);
        ASSERT_NE(module, nullptr);
        ASSERT_TRUE(wl_resource_register(module, RT_RCDATA, u"TXT", DATA[0], 4));
        ASSERT_TRUE(wl_resource_register(module, RT_DIALOG, u"DLG1", DATA[1], 2));
        ASSERT_TRUE(
            wl_resource_register(module, MAKEINTRESOURCEW(300), MAKEINTRESOURCEW(101), DATA[2], 1));
        ASSERT_TRUE(wl_resource_register(module, u"Custom", u"Name", DATA[3], 3));
        ASSERT_TRUE(wl_resource_register(module, RT_RCDATA, u"\u00c9T\u00c9", DATA[4], 0));
    }
    void TearDown() override { wl_module_unregister(u"test.dll"); }
    HMODULE module = nullptr;
};

struct FindCase {
    LPCWSTR name;
    LPCWSTR type;
    int found; // index into DATA, -1 for none
};

const FindCase FIND_CASES[] = {
    {u"TXT", RT_RCDATA, 0},
    {u"txt", RT_RCDATA, 0},
    {u"TXT", RT_DIALOG, -1},
    {u"dlg1", RT_DIALOG, 1},
    {u"DLG2", RT_DIALOG, -1},
    {MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(300), 2},
    {u"#101", u"#300", 2},
    {u"101", MAKEINTRESOURCEW(300), -1},
    {MAKEINTRESOURCEW(102), MAKEINTRESOURCEW(300), -1},
    {u"NAME", u"custom", 3},
    {u"Custom", u"Name", -1},
    {u"\u00e9t\u00e9", RT_RCDATA, 4},
    {u"\u00e9t\u00e8", RT_RCDATA, -1},
};

const DWORD SIZES[] = {4, 2, 1, 3, 0};

TEST_F(ResourceTest, ResourcesAreFoundByTextOrNumberWithoutRegardToCase) {
    for (const FindCase &c : FIND_CASES) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - FIND_CASES));
        HRSRC found = FindResourceW(module, c.name, c.type);
        ASSERT_EQ(found != nullptr, c.found >= 0);
        if (found == nullptr) continue;
        EXPECT_EQ(SizeofResource(module, found), SIZES[c.found]);
        EXPECT_EQ(LockResource(LoadResource(module, found)), DATA[c.found]);
    }
}

TEST_F(ResourceTest, ModulesAreFoundByFileNameWithoutRegardToCase) {
    for (const char16_t *name : {u"test.dll", u"TEST.DLL", u"test", u"\\Windows\\Test.Dll"})
        EXPECT_EQ(GetModuleHandleW(name), module);
    EXPECT_EQ(GetModuleHandleW(u"test."), nullptr);
    EXPECT_EQ(GetModuleHandleW(u"other.dll"), nullptr);
    EXPECT_EQ(wl_module_register(u"TEST.dll", nullptr), module);
    HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_TRUE(self != nullptr && self != module);
    EXPECT_EQ(GetModuleHandleW(nullptr), self);
    EXPECT_EQ(FindResourceW(nullptr, u"TXT", RT_RCDATA), nullptr);
    ASSERT_TRUE(wl_resource_register(self, RT_RCDATA, u"OWN", DATA[3], 3));
    HRSRC own = FindResourceW(nullptr, u"own", RT_RCDATA);
    EXPECT_EQ(LockResource(LoadResource(nullptr, own)), DATA[3]);
}

TEST_F(ResourceTest, BadHandlesGiveNothing) {
    HRSRC text = FindResourceW(module, u"TXT", RT_RCDATA);
    ASSERT_NE(text, nullptr);
    HMODULE bogus = reinterpret_cast<HMODULE>(&text);
    HRSRC bogus_res = reinterpret_cast<HRSRC>(&text);
    HMODULE other = wl_module_register(u"other.dll", nullptr);
    EXPECT_EQ(FindResourceW(bogus, u"TXT", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(module, nullptr, RT_RCDATA), nullptr);
    EXPECT_EQ(LoadResource(module, bogus_res), nullptr);
    EXPECT_EQ(LoadResource(other, text), nullptr); // a resource belongs to its module
    EXPECT_EQ(SizeofResource(bogus, text), 0u);
    EXPECT_EQ(LockResource(bogus_res), nullptr);
    EXPECT_FALSE(wl_resource_register(bogus, RT_RCDATA, u"X", DATA[0], 1));
    wl_module_unregister(u"other.dll");
    EXPECT_EQ(GetModuleHandleW(u"other.dll"), nullptr);
}

TEST_F(ResourceTest, UnregisteringDropsTheResources) {
    ASSERT_TRUE(wl_resource_register(module, RT_RCDATA, u"txt", DATA[1], 2)); // replaces
    HGLOBAL loaded = LoadResource(module, FindResourceW(module, u"TXT", RT_RCDATA));
    ASSERT_EQ(LockResource(loaded), DATA[1]);
    wl_module_unregister(u"TEST.DLL");
    EXPECT_EQ(GetModuleHandleW(u"test.dll"), nullptr);
    EXPECT_EQ(LockResource(loaded), nullptr);
    module = wl_module_register(u"test.dll", nullptr);
    EXPECT_EQ(FindResourceW(module, u"TXT", RT_RCDATA), nullptr);
}

} // namespace
