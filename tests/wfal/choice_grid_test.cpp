// Option groups on the screen: a grid of option buttons per choice table, the current value's
// button selected, disabled entries disabled, and presses mapped back to values.
#include <gtest/gtest.h>

#include <vector>

#include "support/module_ui.h"

namespace {

class ChoiceGrid : public ModuleUiTest {
protected:
    std::vector<ChoiceEntry> table;

    void SetUp() override {
        ModuleUiTest::SetUp();
        // Set B's ranges with the two lowest and the highest disabled.
        for (ChoiceEntry *e = choice_range_b; e->present; ++e)
            table.push_back(*e);
        table.push_back({});
        for (int i : {0, 1, 7})
            table[size_t(i)].enabled = FALSE;
        choice_make_labels(table.data());
    }

    // The face colour of a grid button, inside its bevels and above its caption.
    COLORREF face(int id) {
        RECT r;
        GetWindowRect(GetDlgItem(parent, id), &r);
        return wl_screen_pixel(r.left + 3, r.top + 3);
    }
};

constexpr int FIRST = 201;

TEST_F(ChoiceGrid, FillsColumnByColumn) {
    choice_create_grid(parent, table.data(), 9000000, FIRST, 20, 40, 100, 50, 105, 55, 5);
    pump_pending();
    struct Expected {
        int x, y;
        bool enabled;
        COLORREF face;
        std::u16string caption;
    };
    const COLORREF GREEN = 0x00C000, GREY = 0xD0D0D0;
    const Expected expected[] = {
        {20, 40, false, GREY, u"1.5 MHz"}, {20, 95, false, GREY, u"3 MHz"},
        {20, 150, true, GREEN, u"9 MHz"},  {20, 205, true, GREY, u"12 MHz"},
        {20, 260, true, GREY, u"18 MHz"},  {125, 40, true, GREY, u"35 MHz"},
        {125, 95, true, GREY, u"106 MHz"}, {125, 150, false, GREY, u"212 MHz"},
    };
    for (int i = 0; i < 8; ++i) {
        const Expected &e = expected[i];
        UiControl c = ui_control(GetDlgItem(parent, FIRST + i));
        ASSERT_NE(c.hwnd, nullptr) << i;
        EXPECT_EQ(c.rect.left, e.x) << i;
        EXPECT_EQ(c.rect.top, e.y) << i;
        EXPECT_EQ(c.rect.right - c.rect.left, 100) << i;
        EXPECT_EQ(c.rect.bottom - c.rect.top, 50) << i;
        EXPECT_EQ(c.enabled, e.enabled) << i;
        EXPECT_EQ(c.text, e.caption) << i;
        EXPECT_EQ(face(FIRST + i), e.face) << i;
    }
    EXPECT_EQ(GetDlgItem(parent, FIRST + 8), nullptr);
}

TEST_F(ChoiceGrid, TappingAnEntrySelectsIt) {
    choice_create_grid(parent, table.data(), 9000000, FIRST, 20, 40, 100, 50, 105, 55, 5);
    INT32 value = 9000000;
    struct Case {
        int pressed_id;
        int result;
        INT32 value;
        int green_id; // 0: none of the grid
    };
    const Case cases[] = {
        {FIRST + 6, 1, 106000000, FIRST + 6}, // the second column
        {FIRST - 1, 0, 106000000, FIRST + 6}, // below the grid
        {FIRST + 8, 0, 106000000, FIRST + 6}, // the table's end
        {FIRST + 100, 0, 106000000, FIRST + 6},
        // A disabled entry's button can't be tapped, but the call can select it: it is then
        // selected and drawn in its disabled look.
        {FIRST, 1, 1500000, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(choice_select_by_id(parent, table.data(), &value, FIRST, c.pressed_id), c.result)
            << c.pressed_id;
        EXPECT_EQ(value, c.value) << c.pressed_id;
        pump_pending();
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(face(FIRST + i) == 0x00C000u, FIRST + i == c.green_id) << c.pressed_id;
    }
}

TEST_F(ChoiceGrid, AValueOfNoEntrySelectsNoButton) {
    choice_create_grid(parent, table.data(), 4000, FIRST, 20, 0, 100, 30, 0, 35, 10);
    pump_pending();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(face(FIRST + i), 0xD0D0D0u) << i;
        EXPECT_EQ(ui_control(GetDlgItem(parent, FIRST + i)).rect.left, 20) << i;
    }
}

} // namespace
