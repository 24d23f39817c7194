// Option groups on the screen: a grid of option buttons per choice table, the current value's
// button selected, disabled entries disabled, and presses mapped back to values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/module_ui.h"

namespace {

constexpr int FIRST = 201;

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

    // Each button as "x,y caption" with '-' when disabled and '*' when its face is green.
    std::vector<std::string> buttons() {
        pump_pending();
        std::vector<std::string> out;
        for (int id = FIRST; GetDlgItem(parent, id); ++id) {
            const UiControl c = ui_control(GetDlgItem(parent, id));
            out.push_back(
                std::to_string(c.rect.left) + "," + std::to_string(c.rect.top) + " " +
                std::string(c.text.begin(), c.text.end()) + (c.enabled ? "" : "-") +
                (wl_screen_pixel(c.rect.left + 3, c.rect.top + 3) == 0x00C000 ? "*" : ""));
        }
        return out;
    }
};

// Five to a column, 105 x 55 apart; a value of no entry selects none.
TEST_F(ChoiceGrid, FillsColumnByColumnAndSelectsByPress) {
    choice_create_grid(parent, table.data(), 4000, FIRST, 20, 40, 100, 50, 105, 55, 5);
    EXPECT_EQ(buttons(),
              (std::vector<std::string>{"20,40 1.5 MHz-", "20,95 3 MHz-", "20,150 9 MHz",
                                        "20,205 12 MHz", "20,260 18 MHz", "125,40 35 MHz",
                                        "125,95 106 MHz", "125,150 212 MHz-"}));
    INT32 value = 4000;
    const struct {
        int pressed_id, result;
        INT32 value;
        const char *green; // the selected button's caption
    } cases[] = {
        {FIRST + 6, 1, 106000000, "125,95 106 MHz*"}, // the second column
        {FIRST - 1, 0, 106000000, "125,95 106 MHz*"}, // below the grid
        {FIRST + 8, 0, 106000000, "125,95 106 MHz*"}, // the table's end
        {FIRST + 100, 0, 106000000, "125,95 106 MHz*"},
        // A disabled entry's button can't be tapped, but the call can select it: it is then
        // selected and drawn in its disabled look.
        {FIRST, 1, 1500000, nullptr},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(choice_select_by_id(parent, table.data(), &value, FIRST, c.pressed_id), c.result)
            << c.pressed_id;
        EXPECT_EQ(value, c.value) << c.pressed_id;
        std::vector<std::string> green;
        for (const std::string &b : buttons())
            if (b.back() == '*') green.push_back(b);
        EXPECT_EQ(green, c.green ? std::vector<std::string>{c.green} : std::vector<std::string>{})
            << c.pressed_id;
    }
}

} // namespace
