// A stand-in for the main dialog as the view and the marker reach it: a parent window with plain
// children of the key, graph and spectrogram ids (so that a test sees what is enabled, sent and
// repainted), the module state set as the main dialog sets it for a file, and the result file in
// a fresh device root.
#pragma once

#include <gtest/gtest.h>

#include <stdio.h>
#include <strsafe.h>

#include <string>

#include <windows.h>

#include "module/state.h"
#include "spectrogram/spectrum_graph.h"
#include "support/message_log.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "test/main_dialog.h"

constexpr int STAND_IN_KEYS[] = {ID_MARKER_LEFT, ID_MARKER_RIGHT, ID_LINE_UP,   ID_LINE_DOWN,
                                 ID_TOP,         ID_PAGE_UP,      ID_PAGE_DOWN, ID_FIND};
// The spectrogram's picture is 100 rows high: 102 less the one-pixel margins.
constexpr int STAND_IN_PICTURE_ROWS = 100;

class MainDialogStandIn : public ::testing::Test {
protected:
    TempDeviceRoot root; // declared first: the log's tear-down closes every window before it goes
    MessageLog log;
    HWND dialog = nullptr;
    HWND spectrogram = nullptr;

    void SetUp() override {
        wfal = ModuleState{};
        choice_make_labels(choice_level_unit);
        dialog = log.create("dialog", WS_POPUP | WS_VISIBLE, 0, 37, 800, 443);
        for (int id : STAND_IN_KEYS)
            log.create("key" + std::to_string(id), WS_CHILD | WS_VISIBLE, 620, (id - 100) * 30, 70,
                       25, dialog, id);
        log.create("graph", WS_CHILD | WS_VISIBLE, 0, 0, 615, 176, dialog, ID_GRAPH);
        spectrogram = log.create("spectrogram", WS_CHILD | WS_VISIBLE, 0, 180, 615,
                                 STAND_IN_PICTURE_ROWS + 2, dialog, ID_SPECTROGRAM);
        log.ignore({WM_NCPAINT, WM_ERASEBKGND, WM_ENABLE});
        wfal.main_dialog = dialog;
        wfal.display.level_unit = LEVEL_UNIT_DBM, wfal.display.black_level = -100;
        wfal.display.white_level = -20, wfal.display.find_threshold = -100;
        settle();
    }
    void TearDown() override {
        if (wfal.view_file) fclose(wfal.view_file);
        wfal.view_file = nullptr;
    }

    // Writes the file and takes it as the main dialog does when it opens one: the header, the
    // path, the size and RUN_LOADED.
    void open(const ResultFileRecipe &recipe, const std::string &name = "line.res") {
        result_file_write(root.dir() + "/" + name, recipe);
        wfal.header = result_file_header(recipe);
        const std::u16string path = u"\\" + std::u16string(name.begin(), name.end());
        StringCchCopyW(wfal.result_path, PATH_CHARS, path.c_str());
        wfal.file_size =
            RESULT_HEADER_SIZE + recipe.records * 2 * recipe.points + recipe.partial_bytes;
        wfal.run_state = RUN_LOADED;
    }

    bool enabled(int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

    // Runs what is waiting and forgets what was logged so far.
    void settle() { pump_pending(), log.clear(); }
    // The messages the window got since the last settle, pending paints included.
    Lines received(const std::string &window) {
        pump_pending();
        Lines out;
        for (const std::string &line : log.take())
            if (line.compare(0, window.size() + 1, window + " ") == 0) out.push_back(line);
        return out;
    }
    int paints(const std::string &window) {
        int count = 0;
        for (const std::string &line : received(window))
            count += line == window + " WM_PAINT";
        return count;
    }
};
