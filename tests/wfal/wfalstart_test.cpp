// wfalstart as the host calls it: a whole run in each mode, several times in one process, with
// everything it made released again; its parameters; and the settings it saves.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <acqsim.h>
#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "module/classes.h"
#include "module/entry.h"
#include "module/state.h"
#include "support/fake_host.h"
#include "support/temp_root.h"
#include "support/ui_driver.h"
#include "ui/controls.h"

namespace {

// The module's classes in the order of its registration, with what each is registered with.
const struct {
    const WCHAR *name;
    int window_words; // pointer-sized
    const WCHAR *cursor;
    bool background; // the splitter's face
} MODULE_CLASSES[] = {{u"btn", 4, IDC_ARROW, false},
                      {u"splt", 0, IDC_SIZENS, true},
                      {u"graph", 0, IDC_ARROW, false},
                      {u"wfaw", 0, IDC_ARROW, false}};
constexpr COLORREF DIALOG_BLUE = RGB(11, 25, 255);
constexpr size_t SETTINGS_BYTES = 564 + 1320;

class Wfalstart : public ::testing::Test {
protected:
    TempDeviceRoot root;
    UiDriver ui;

    void SetUp() override {
        acqsim_reset();
        fake_host_reset();
    }
    void TearDown() override {
        acqsim_reset();
        wl_user_shutdown();
        wl_gdi_shutdown(); // the font engine's caches too
    }

    INT_PTR run(int test_mode, const std::vector<UiStep> &steps,
                HostService host = fake_host_service, int help_mask = 7,
                const std::u16string &settings = u"\\settings.dat",
                const std::u16string &result = u"\\Internal\\line.res",
                const std::u16string &language = u"\\none.txt",
                const std::u16string &operator_name = u"Ann") {
        return ui.run(
            [&] {
                return INT_PTR(wfalstart(nullptr, host, test_mode, result.c_str(), 0, 1,
                                         operator_name.c_str(), settings.c_str(), language.c_str(),
                                         help_mask));
            },
            steps);
    }

    void expect_nothing_left(int gdi_objects) {
        EXPECT_EQ(wl_window_list(nullptr, 0), 0);
        for (const auto &c : MODULE_CLASSES)
            EXPECT_FALSE(UnregisterClassW(c.name, GetModuleHandleW(u"wfal.dll")))
                << std::string(c.name, c.name + 4) << " is still registered";
        EXPECT_EQ(wl_gdi_object_count(), gdi_objects);
        ULONGLONG due;
        EXPECT_FALSE(wl_timer_next_due(&due));
        EXPECT_EQ(wfal.dialog_brush, nullptr);
        EXPECT_EQ(wfal.lang.entry_count, 0);
        EXPECT_EQ(wfal.lang.pool, nullptr);
    }
};

UiStep expect_dialog_on_screen() {
    return ui::check(
        [] {
            // Between the key columns of the main dialog, below every control of the set-up.
            EXPECT_EQ(ui_pixel(692, 37 + 441), DIALOG_BLUE);
            EXPECT_NE(ui_pixel(400, 20), DIALOG_BLUE); // the host's title bar stays free
            UiControl esc = ui_find(ID_ESC);
            EXPECT_EQ(esc.rect.left, 695);
            EXPECT_EQ(esc.rect.top, 37 + 5);
            EXPECT_EQ(esc.text, u"Esc");
        },
        "dialog on the screen");
}

TEST_F(Wfalstart, RunsTwiceInBothModesAndLeavesNothingBehind) {
    const int objects = wl_gdi_object_count();
    // The viewer's file does not exist. Without a host the run is the same.
    const std::pair<int, Lines> modes[] = {
        {1, {"title \"Set-up spectrogram test\""}},
        {0,
         {"title \"Spectrogram\"", "message-box 16 \"Error\" \"Unknown file.\" -> 1 "
                                   "(no answer queued)"}}};
    for (HostService host : {fake_host_service, fake_host_service, HostService(nullptr)}) {
        for (const auto &[mode, log] : modes) {
            fake_host_reset();
            EXPECT_EQ(run(mode, {expect_dialog_on_screen(), ui::tap(ID_ESC)}, host), 0);
            EXPECT_EQ(fake_host.log, host ? log : Lines{});
            expect_nothing_left(objects);
            EXPECT_EQ(root.read("settings.dat").size(), SETTINGS_BYTES);
            EXPECT_EQ(root.read("settings.dat").substr(0, 4), "WFAI");
            root.write("settings.dat", ""); // saved again by the next run
        }
    }
}

TEST_F(Wfalstart, HelpKeyOnlyWithItsBit) {
    struct Case {
        int help_mask;
        bool help_key;
    };
    const Case cases[] = {{0, false}, {1, true}, {6, false}, {7, true}};
    for (const Case &c : cases) {
        bool shown = false;
        run(1, {ui::check([&] { shown = ui_find(ID_HELP).hwnd != nullptr; }), ui::tap(ID_ESC)},
            fake_host_service, c.help_mask);
        EXPECT_EQ(shown, c.help_key) << c.help_mask;
    }
}

TEST_F(Wfalstart, LongTextsAreCut) {
    std::u16string long_path = u"\\" + std::u16string(299, u'p');
    std::u16string long_name(40, u'n');
    run(0, {ui::tap(ID_ESC)}, fake_host_service, 7, long_path, long_path, long_path, long_name);
    EXPECT_EQ(std::u16string(wfal.result_path), long_path.substr(0, 259));
    EXPECT_EQ(std::u16string(wfal.settings_path), long_path.substr(0, 259));
    EXPECT_EQ(std::u16string(wfal.language_path), long_path.substr(0, 259));
    EXPECT_EQ(std::u16string(wfal.operator_name), long_name.substr(0, 31));
}

// The engine's name goes into the header first; a settings file then replaces the whole header.
TEST_F(Wfalstart, SettingsFileOverridesTheIdentification) {
    ASSERT_TRUE(acqsim_set_device_name("FIRST"));
    acqsim_set_options(ACQSIM_OPTION_WIDEBAND);
    run(1, {ui::tap(ID_ESC)});
    EXPECT_EQ(std::u16string(wfal.header.device), u"FIRST");
    EXPECT_EQ(wfal.range_table, choice_range_b);
    std::string saved = root.read("settings.dat");
    ASSERT_EQ(saved.size(), SETTINGS_BYTES);
    EXPECT_EQ(saved.substr(564 + 64, 10), std::string("F\0I\0R\0S\0T\0", 10));

    ASSERT_TRUE(acqsim_set_device_name("SECOND"));
    acqsim_set_options(0);
    run(1, {ui::tap(ID_ESC)});
    EXPECT_EQ(std::u16string(wfal.header.device), u"FIRST");
    EXPECT_EQ(wfal.range_table, choice_range_a);

    root.write("settings.dat", "");
    run(1, {ui::tap(ID_ESC)});
    EXPECT_EQ(std::u16string(wfal.header.device), u"SECOND");
}

} // namespace
