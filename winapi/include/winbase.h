// Kernel services: time, disk space, modules and resources.
#pragma once

#include "windef.h"

void GetLocalTime(LPSYSTEMTIME time);
DWORD GetTickCount(void);
void Sleep(DWORD milliseconds);

BOOL GetDiskFreeSpaceExW(LPCWSTR directory, PULARGE_INTEGER free_to_caller,
                         PULARGE_INTEGER total_bytes, PULARGE_INTEGER total_free);

#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_RCDATA MAKEINTRESOURCEW(10)

HMODULE GetModuleHandleW(LPCWSTR name);
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL loaded);

// The reasons a DLL's entry point is called for.
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// Asks for no DLL_THREAD_ATTACH / DLL_THREAD_DETACH calls of the module's entry point. FALSE for
// a handle that is no loaded module.
BOOL DisableThreadLibraryCalls(HMODULE module);
