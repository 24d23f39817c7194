// Text between the host's two worlds: UTF-8 on the PC side (command line, script, log) and the
// module's 16-bit wide strings, and the quoted strings of the script and the log.
#pragma once

#include <string>

#include <windows.h>

// The module's wide strings as the host holds them.
typedef std::basic_string<WCHAR> WideText;

// The platform's UTF-8 codec on the host's strings (each platform's host supplies it).
WideText text_from_utf8(const std::string &utf8);
std::string text_to_utf8(const WideText &wide);
// A wide string of the module; null reads as empty.
std::string text_to_utf8(const WCHAR *wide);

// A string in double quotes as the log writes it: \n, \r, \t, \" and \xNN (the other control
// characters) escaped, so that every event stays on one line; backslashes stay as they are, so
// that instrument paths read as they are written ("\USB\line1.res").
std::string text_quote(const std::string &utf8);
// Reads a quoted string of the script at `pos` (the opening quote), with the escapes \n, \r, \t,
// \", \\ and \xNN; on success `pos` is past the closing quote. False with `error` set for a
// missing quote or an unknown escape.
bool text_unquote(const std::string &line, size_t *pos, std::string *out, std::string *error);
