// The module's exported entry points.
#include <windows.h>
#include <strsafe.h>

#include "module/state.h"

// The caller's buffer holds at least five characters: the version and its terminator.
extern "C" void wfalver(WCHAR *buffer) {
    StringCchCopyW(buffer, 5, MODULE_VERSION);
}
