// The module's window classes "btn", "splt", "graph" and "wfaw", registered for wfal.instance:
// by wfalstart for its run, and by the tests that build the module's windows without it.
#pragma once

#include <windows.h>

constexpr int MODULE_CLASS_COUNT = 4;

// Class k (0 .. MODULE_CLASS_COUNT - 1) as classes_register registers it. A background brush is
// made here; the class owns it once registered, and the system deletes it with the class.
WNDCLASSW classes_describe(int k);
void classes_register();
void classes_unregister();
