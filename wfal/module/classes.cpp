// The window classes of the module's own controls and views.
#include <windows.h>

#include "graph/graph_window.h"
#include "module/classes.h"
#include "module/state.h"
#include "spectrogram/spectrogram_window.h"
#include "ui/button.h"
#include "ui/splitter.h"

namespace {

struct ModuleClass {
    const WCHAR *name;
    WNDPROC proc;
    int window_bytes;
    const WCHAR *cursor;
    BOOL grey_background; // the splitter's face is its class background
};

const ModuleClass MODULE_CLASSES[MODULE_CLASS_COUNT] = {
    {BUTTON_CLASS, button_window_proc, BUTTON_WINDOW_BYTES, IDC_ARROW, FALSE},
    {SPLITTER_CLASS, splitter_window_proc, 0, IDC_SIZENS, TRUE},
    {GRAPH_CLASS, graph_window_proc, 0, IDC_ARROW, FALSE},
    {SPECTROGRAM_CLASS, spectrogram_window_proc, 0, IDC_ARROW, FALSE},
};

} // namespace

WNDCLASSW classes_describe(int k) {
    WNDCLASSW wc = {};
    if (k < 0 || k >= MODULE_CLASS_COUNT) return wc;
    const ModuleClass &c = MODULE_CLASSES[k];
    wc.lpfnWndProc = c.proc;
    wc.cbWndExtra = c.window_bytes;
    wc.hInstance = wfal.instance;
    wc.hCursor = LoadCursorW(NULL, c.cursor);
    wc.hbrBackground = c.grey_background ? CreateSolidBrush(SPLITTER_COLOUR) : NULL;
    wc.lpszClassName = c.name;
    return wc;
}

void classes_register() {
    for (int k = 0; k < MODULE_CLASS_COUNT; k++) {
        WNDCLASSW wc = classes_describe(k);
        RegisterClassW(&wc);
    }
}

void classes_unregister() {
    for (const ModuleClass &c : MODULE_CLASSES)
        UnregisterClassW(c.name, wfal.instance);
}
