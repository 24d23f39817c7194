// The built library as the host sees it: loaded at run time, entry points found by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include <windows.h>

namespace {

TEST(Wfalver, AnswersTheVersionThroughTheExportedName) {
    void *module = dlopen(WFAL_BINARY_DIR "/wfal/libwfal.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto wfalver = reinterpret_cast<void (*)(WCHAR *)>(dlsym(module, "wfalver"));
    ASSERT_NE(wfalver, nullptr);
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    wfalver(buffer);
    EXPECT_EQ(std::u16string(buffer), u"2.00");
    EXPECT_EQ(buffer[5], u'#');
    // Everything else stays inside the module.
    EXPECT_EQ(dlsym(module, "header_build"), nullptr);
    EXPECT_EQ(dlsym(module, "wfal"), nullptr);
    dlclose(module);
}

} // namespace
