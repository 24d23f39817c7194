// The settings file: the display settings block followed by the current result header.
#pragma once

#include <windows.h>

#pragma pack(push, 1)
struct DisplaySettings {
    char magic[4];             // "WFAI", no terminator
    INT32 block_size;          // 564
    BYTE reserved_head[8];     // carried over from the loaded file
    INT32 level_unit;          // 1 dBm, 2 dBm/Hz
    INT32 black_level;         // dB
    INT32 white_level;         // dB
    INT32 find_threshold;      // dB
    INT32 change_threshold_on; // non-zero: Find also uses the change threshold
    INT32 change_threshold;    // dB
    INT32 find_mode;           // 1 at the marker, 0 at any frequency
    BYTE reserved_tail[520];   // carried over from the loaded file
};
#pragma pack(pop)

static_assert(sizeof(DisplaySettings) == 564, "display settings layout");
static_assert(offsetof(DisplaySettings, block_size) == 4, "display settings layout");
static_assert(offsetof(DisplaySettings, reserved_head) == 8, "display settings layout");
static_assert(offsetof(DisplaySettings, level_unit) == 16, "display settings layout");
static_assert(offsetof(DisplaySettings, black_level) == 20, "display settings layout");
static_assert(offsetof(DisplaySettings, white_level) == 24, "display settings layout");
static_assert(offsetof(DisplaySettings, find_threshold) == 28, "display settings layout");
static_assert(offsetof(DisplaySettings, change_threshold_on) == 32, "display settings layout");
static_assert(offsetof(DisplaySettings, change_threshold) == 36, "display settings layout");
static_assert(offsetof(DisplaySettings, find_mode) == 40, "display settings layout");
static_assert(offsetof(DisplaySettings, reserved_tail) == 44, "display settings layout");

constexpr INT32 DISPLAY_SETTINGS_SIZE = 564;
constexpr char SETTINGS_MAGIC[4] = {'W', 'F', 'A', 'I'}; // no terminator

// Reads the file named by the module's settings path into the module state; a missing, short
// or foreign file leaves the defaults.
void settings_load();
// Writes the display settings and the current header into the settings file.
void settings_save();
