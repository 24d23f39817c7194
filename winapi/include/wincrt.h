// The C runtime's wide-character functions as the module uses them, for 16-bit WCHAR.
// On Windows they come from <wchar.h>, <string.h>, <stdlib.h> and <stdio.h>; glibc's versions
// work on 32-bit wchar_t, so the layer gives WCHAR overloads of its own.
#pragma once

#include <stdio.h>

#include "windef.h"

size_t wcslen(const WCHAR *s);
int wcscmp(const WCHAR *a, const WCHAR *b);
int wcsncmp(const WCHAR *a, const WCHAR *b, size_t n);
WCHAR *wcscpy(WCHAR *dst, const WCHAR *src);
WCHAR *wcsncpy(WCHAR *dst, const WCHAR *src, size_t n);
WCHAR *wcscat(WCHAR *dst, const WCHAR *src);
const WCHAR *wcschr(const WCHAR *s, WCHAR c);
WCHAR *wcschr(WCHAR *s, WCHAR c);
const WCHAR *wcsrchr(const WCHAR *s, WCHAR c);
WCHAR *wcsrchr(WCHAR *s, WCHAR c);
int _wtoi(const WCHAR *s);

// Opens a file of the instrument's file system ("\USB\test1.res"); modes "rb", "wb", "r+b".
// The stream is an ordinary FILE: fread, fwrite, fseek, ftell, fflush and fclose serve it.
FILE *_wfopen(const WCHAR *path, const WCHAR *mode);
