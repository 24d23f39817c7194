// The module state: one module-wide instance, set up by wfalstart and released before it returns.
#pragma once

#include <stdio.h>
#include <windows.h>

#include "graph/graph_record.h"
#include "lang/lang.h"
#include "module/calendar.h"
#include "module/host_services.h"
#include "module/settings.h"
#include "resultfile/result_header.h"
#include "spectrogram/find.h"
#include "spectrogram/view_state.h"
#include "ui/choice.h"

// run_state bits
constexpr int RUN_LOADED = 1;
constexpr int RUN_FINDING = 2;
constexpr int RUN_TESTING = 4;
constexpr int RUN_FROZEN = 8;

// Where the result of a test is stored (decides the reserve that must stay free).
constexpr int STORAGE_INTERNAL = 1;
constexpr int STORAGE_USB = 2;

constexpr int PATH_CHARS = MAX_PATH; // 259 characters and the terminator
constexpr int OPERATOR_CHARS = 32;   // 31 characters and the terminator

// The module's version: answered by wfalver and written into every new result header.
constexpr const WCHAR *MODULE_VERSION = TEXT("2.00");

struct ModuleState {
    HINSTANCE instance;            // the module, found by its file name
    HWND main_dialog;              // the main spectrogram dialog while it runs
    HostService host;              // null: every service yields 0 and does nothing
    WCHAR result_path[PATH_CHARS]; // proposed or viewed result file; HOST_EDIT_PATH's target
    WCHAR settings_path[PATH_CHARS];
    WCHAR language_path[PATH_CHARS];
    int memory_reserve;  // bytes that must stay free in internal memory
    int language_number; // translation to use; 0 chooses by the preferred name
    int help_mask;       // 1 test set-up, 2 display set-up, 4 save section keep their "?"
    WCHAR operator_name[OPERATOR_CHARS];
    HBRUSH dialog_brush; // background of every dialog
    ResultHeader header; // set-up of a new test, or the header of the viewed file
    DisplaySettings display;
    int run_state;            // RUN_* bits
    BOOL wideband;            // engine option: chooses the set-B option tables
    ChoiceEntry *range_table; // the option tables in force
    ChoiceEntry *imped_table;
    ChoiceEntry *input_table;
    ChoiceEntry *gain_table;
    WORD command_sequence;   // counter of measure commands
    FILE *record_file;       // write handle of the running test's result file
    FILE *view_file;         // read handle of the shown result file
    LONGLONG file_size;      // bytes of the shown result file
    LONGLONG max_file_size;  // size limit of the running test's result file
    int storage_kind;        // STORAGE_INTERNAL or STORAGE_USB
    DWORD start_seconds;     // calendar seconds of the running test's start time
    CalendarFields calendar; // in and out fields of the calendar conversions
    LangTable lang;
    GraphRecord graph[GRAPH_COUNT]; // graph data: the spectrum graph is graph 0
    ViewState view;                 // the spectrogram view and the spectrum at the time cursor
    FindParams find;                // Find's parameters, as view_update last computed them
    BOOL stop_pressed;              // "Stop" was pressed: a running find ends
    ResultHeader section_header;    // the save-section dialog's copy of the header
    int section_start;              // first and last record of the section to save
    int section_end;
};

extern ModuleState wfal;
