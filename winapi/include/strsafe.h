// Counted string functions with Windows semantics: the result is always terminated and
// truncated to the buffer; %s takes a wide string.
#pragma once

#include <stdarg.h>

#include "windef.h"

#define STRSAFE_MAX_CCH 2147483647
#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007AL)
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057L)

HRESULT StringCchPrintfW(LPWSTR dst, size_t cch, LPCWSTR format, ...);
HRESULT StringCchVPrintfW(LPWSTR dst, size_t cch, LPCWSTR format, va_list args);
HRESULT StringCchCopyW(LPWSTR dst, size_t cch, LPCWSTR src);
HRESULT StringCchCopyNW(LPWSTR dst, size_t cch, LPCWSTR src, size_t max_src);
HRESULT StringCchCatW(LPWSTR dst, size_t cch, LPCWSTR src);
HRESULT StringCchLengthW(LPCWSTR s, size_t max_cch, size_t *length);
