// The host's modal boxes on the desktop window: message boxes and the text, number and path
// entries, drawn by the host and typed on the keyboard.
#pragma once

#include <string>

#include <windows.h>

#include "text.h"

enum BoxKind { BOX_MESSAGE, BOX_TEXT, BOX_NUMBER, BOX_PATH };

// The volumes that the path entry offers.
enum { BOX_VOLUME_INTERNAL = 1, BOX_VOLUME_USB = 2 };

struct BoxRequest {
    BoxKind kind = BOX_MESSAGE;
    WideText caption;
    WideText text;       // a message box's text; a number entry's unit
    int flags = 0;       // a message box's flags: the low four bits 4 give Yes and No
    WideText field;      // the entry's text; for a path the part after the volume
    size_t capacity = 0; // most characters of the field
    int volume = BOX_VOLUME_INTERNAL;
};

constexpr int BOX_YES = 6;
constexpr int BOX_NO = 7;

// Registers the boxes' window class (once, with the host's other classes).
bool box_register();
// Whether a message box with these flags asks Yes or No.
inline bool box_is_question(int flags) {
    return (flags & 0x0F) == 4;
}
// Runs the box until it is answered: IDOK, IDCANCEL, BOX_YES or BOX_NO; the field and volume of
// `request` hold what was entered. The session's closing answers Cancel, or No to a question.
int box_run(BoxRequest *request);
