// Logical fonts and wide-string lengths for the text tests.
#pragma once

#include <wingdi.h>

inline LOGFONTW test_logfont(const WCHAR *face, LONG height, LONG width, LONG weight = 0) {
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    for (int i = 0; face[i] != 0 && i < LF_FACESIZE - 1; ++i)
        lf.lfFaceName[i] = face[i];
    return lf;
}

inline int test_length(const WCHAR *text) {
    int n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}
