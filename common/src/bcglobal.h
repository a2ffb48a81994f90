#pragma once
// Version information of program files and the application title, plus the
// small case-insensitive prefix comparison the editor uses.

#include <cstdint>

#include "orostring.h"

// The string table every query reads: U.S. English (0409), code page 1252
// (04E4), whatever the file's translation table says.
extern const char* const g_pVersionLanguageCodePage;

// The application title, "" until BuildTitle runs.
extern COroString g_sTitle;

// One text of the named file's version resource ("FileDescription",
// "FileVersion", ...); "" when the file has no resource, no 040904E4 table or
// no such key.
COroString GetVersionInfoString(const COroString& sFileName, const COroString& sKey);

// GetVersionInfoString of the running program's own file.
COroString GetAppVersionInfo(const COroString& sKey);

// Sets g_sTitle to FileDescription + " v" + FileVersion of the program's own
// version resource and returns it.
const COroString& BuildTitle();

// -1 when a or b is shorter than n characters (a null text counts as
// empty); otherwise the case-insensitive comparison (negative, 0, positive)
// of their first n characters.
int32_t StrNICmpPrefix(const char* a, const char* b, int32_t n);
