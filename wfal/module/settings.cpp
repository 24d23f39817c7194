// The settings file: the display settings block, then the current result header. A block is
// taken whole (its reserved bytes included, so they are written back unchanged) or not at all.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "module/settings.h"
#include "module/state.h"

namespace {

void read_blocks(FILE *file) {
    DisplaySettings display;
    if (fread(&display, sizeof display, 1, file) != 1) return;
    if (display.block_size != DISPLAY_SETTINGS_SIZE ||
        memcmp(display.magic, SETTINGS_MAGIC, sizeof display.magic) != 0)
        return;
    wfal.display = display;
    // The set-up dialog rebuilds points, frequencies and the seal, so only the block's identity
    // is checked here.
    ResultHeader header;
    if (fread(&header, sizeof header, 1, file) != 1) return;
    if (header.header_size != RESULT_HEADER_SIZE ||
        memcmp(header.magic, RESULT_MAGIC, sizeof header.magic) != 0)
        return;
    wfal.header = header;
}

} // namespace

void settings_load() {
    FILE *file = _wfopen(wfal.settings_path, TEXT("rb"));
    if (!file) return;
    read_blocks(file);
    fclose(file);
}

void settings_save() {
    FILE *file = _wfopen(wfal.settings_path, TEXT("wb"));
    if (!file) return;
    memcpy(wfal.display.magic, SETTINGS_MAGIC, sizeof wfal.display.magic);
    wfal.display.block_size = DISPLAY_SETTINGS_SIZE;
    memcpy(wfal.header.magic, RESULT_MAGIC, sizeof wfal.header.magic);
    wfal.header.header_size = RESULT_HEADER_SIZE;
    // Nobody is told of a failed write; the next load falls back to the defaults.
    if (fwrite(&wfal.display, sizeof wfal.display, 1, file) == 1)
        fwrite(&wfal.header, sizeof wfal.header, 1, file);
    fclose(file);
}
