// The module's exported entry points and the lifecycle of one run: the window classes, the
// module state built from the parameters, the settings file and the engine, one modal dialog,
// and the release of everything before wfalstart returns.
#include <windows.h>
#include <strsafe.h>

#include "lang/lang.h"
#include "module/classes.h"
#include "module/engine.h"
#include "module/entry.h"
#include "module/settings.h"
#include "module/setup.h"
#include "module/state.h"
#include "spectrogram/view_update.h"
#include "test/main_dialog.h"
#include "test/setup_dialog.h"
#include "ui/choice.h"
#include "ui/controls.h"

namespace {

constexpr COLORREF DIALOG_COLOUR = RGB(11, 25, 255);

// A text cut to the field when too long (the cut is wanted); a null text becomes empty.
void copy_text(WCHAR *field, size_t capacity, const WCHAR *text) {
    if (text)
        StringCchCopyW(field, capacity, text);
    else
        field[0] = 0;
}

void take_parameters(HostService host, const WCHAR *result_path, int memory_reserve,
                     int language_number, const WCHAR *operator_name, int help_mask) {
    wfal.language_number = language_number;
    copy_text(wfal.operator_name, OPERATOR_CHARS, operator_name);
    copy_text(wfal.result_path, PATH_CHARS, result_path);
    wfal.memory_reserve = memory_reserve;
    wfal.host = host;
    wfal.help_mask = help_mask;
}

// Nothing of an earlier run's recording or view survives into this one.
void clear_run_state() {
    wfal.main_dialog = NULL;
    view_clear();
    wfal.run_state = 0;
    wfal.storage_kind = 0;
}

void make_labels() {
    ChoiceEntry *tables[] = {wfal.range_table, wfal.imped_table,  wfal.input_table,
                             wfal.gain_table,  choice_level_unit, choice_find_mode};
    for (ChoiceEntry *table : tables)
        choice_make_labels(table);
}

void run_dialog(HWND parent, int test_mode) {
    if (test_mode)
        DialogBoxParamW(wfal.instance, TEXT("DLG2"), parent, setup_dialog_proc, 0);
    else
        DialogBoxParamW(wfal.instance, TEXT("DLG1"), parent, main_dialog_proc, 0);
}

void tear_down() {
    settings_save();
    lang_free();
    DeleteObject(wfal.dialog_brush);
    wfal.dialog_brush = NULL;
    classes_unregister();
    ui_release_fonts();
    wfal.main_dialog = NULL;
}

} // namespace

extern "C" int wfalstart(HWND parent, HostService host, int test_mode, const WCHAR *result_path,
                         int memory_reserve, int language_number, const WCHAR *operator_name,
                         const WCHAR *settings_path, const WCHAR *language_path, int help_mask) {
    wfal.instance = GetModuleHandleW(TEXT("wfal.dll"));
    classes_register();
    wfal.dialog_brush = CreateSolidBrush(DIALOG_COLOUR);
    copy_text(wfal.settings_path, PATH_CHARS, settings_path);
    copy_text(wfal.language_path, PATH_CHARS, language_path);
    engine_identify();
    setup_defaults();
    settings_load();
    take_parameters(host, result_path, memory_reserve, language_number, operator_name, help_mask);
    setup_validate();
    clear_run_state();
    lang_load();
    make_labels();
    run_dialog(parent, test_mode);
    tear_down();
    return 0;
}

// The caller's buffer holds at least five characters: the version and its terminator.
extern "C" void wfalver(WCHAR *buffer) {
    StringCchCopyW(buffer, 5, MODULE_VERSION);
}

// Loading the module does nothing but refuse the per-thread notifications it has no use for.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
