// The layer's own API: what the host and the tests use to set up the platform that the
// module sees (device root, volumes, clock, fault seam, registered modules), and its text
// codec. Not part of Win32; module code never includes it.
#pragma once

#include <string>

#include "windef.h"

// ---- The instrument's file system -------------------------------------------------------
// Instrument paths use backslashes; "\" is the device root, a folder of the PC.

// Sets the folder that "\" maps to. The folder must exist.
void wl_fs_set_root(const char *dir);
const char *wl_fs_root(void);
// Maps an instrument path to a PC path under the device root. FALSE if it does not fit.
BOOL wl_fs_map_path(LPCWSTR path, char *out, size_t capacity);
// Gives the volume whose top folder is `volume` (u"\\USB", u"\\Internal") a simulated capacity:
// free space is then the capacity less the bytes of the files under it, and writes that would
// exceed it store what fits and fail. 0 removes the simulation.
void wl_fs_set_volume_size(LPCWSTR volume, ULONGLONG bytes);
// Whether fflush of a file opened for writing also synchronises it to the storage device
// (on by default; tests that record days on the virtual clock switch it off).
void wl_fs_set_sync(BOOL on);

// ---- Fault seam for the C runtime's file functions ----------------------------------------
typedef enum { WL_FAULT_OPEN, WL_FAULT_WRITE, WL_FAULT_FLUSH, WL_FAULT_READ } WlFaultOp;
// Counting from the call after this one as 1, the nth call of `op` fails; with `persistent`
// every later one fails too.
void wl_fault_fail(WlFaultOp op, int nth, BOOL persistent);
// The nth write (counted as above) stores only its first `keep_bytes` bytes.
void wl_fault_short_write(int nth, size_t keep_bytes);
// Clears every armed fault and the counters.
void wl_fault_reset(void);
// Calls of `op` seen since the last reset.
int wl_fault_calls(WlFaultOp op);

// ---- The clock ---------------------------------------------------------------------------
// One clock serves GetLocalTime, GetTickCount, Sleep, timers and the measurement engine.
void wl_clock_use_real(void);
// Switches to the virtual clock, standing at `start` (local time) until advanced.
void wl_clock_use_virtual(const SYSTEMTIME *start);
BOOL wl_clock_is_virtual(void);
// Moves the virtual clock forward (no effect on the real clock).
void wl_clock_advance_ms(ULONGLONG ms);
// Milliseconds on the clock since an arbitrary fixed point; never goes backwards.
ULONGLONG wl_clock_ms(void);
// Sets the virtual clock's local time (it may go backwards, as a user setting the clock does).
void wl_clock_set_local_time(const SYSTEMTIME *now);

// ---- Modules and their resources -----------------------------------------------------------
// A module (the Linux build of a DLL) registers itself by file name when it is loaded;
// GetModuleHandleW(name) then returns the handle. `anchor` is any address inside the module.
HMODULE wl_module_register(LPCWSTR name, const void *anchor);
void wl_module_unregister(LPCWSTR name);
// Registers a resource of a module; `data` must stay valid while the module is registered.
BOOL wl_resource_register(HMODULE module, LPCWSTR type, LPCWSTR name, const void *data, DWORD size);

// ---- Text between UTF-16 and UTF-8 -------------------------------------------------------
// The layer's one codec for the module's 16-bit texts and the UTF-8 of the PC (file names,
// fontconfig, scripts and logs). Malformed input:
// - UTF-8 to UTF-16: each maximal invalid subpart becomes one U+FFFD, as Unicode recommends. A
//   subpart is the longest start of a well-formed sequence; a byte that cannot start one
//   (80..C1, F5..FF) is a subpart of its own, and so is an overlong or encoded-surrogate lead
//   whose next byte is out of range (C0 AF, E0 80 80, ED A0 80 and F4 90 80 80 give one U+FFFD a
//   byte). A sequence cut short by the end or by a byte that cannot continue it is one U+FFFD,
//   and that byte starts afresh.
// - UTF-16 to UTF-8: a surrogate that is not a high one followed by a low one (a low alone, a
//   high followed by anything else or by the end) becomes U+FFFD; the strict form fails instead,
//   for names that must come back as they went in.
// `count` units are read, zeros among them kept; WL_TEXT_TERMINATED reads up to the first zero.
// A null text reads as empty.
#define WL_TEXT_TERMINATED ((size_t)-1)
std::string wl_utf8_from_utf16(const WCHAR *text, size_t count);
// FALSE (and `out` empty) when `text` holds a lone surrogate.
BOOL wl_utf8_from_utf16_strict(const WCHAR *text, size_t count, std::string *out);
std::u16string wl_utf16_from_utf8(const char *text, size_t count);
