#pragma once
// Private-profile (ini) files: section and key names compare without regard
// to case; blanks around keys and values are trimmed; a value wrapped in
// matching quotes loses them; lines starting with ';' are comments. Writes
// keep every other line of the file. A '\' in a file name is a path separator.

#include <cstdint>
#include <string>

// Copies the value of key in section (or pDefault when missing) into pBuffer,
// at most nSize - 1 characters plus a terminator; returns the characters copied.
uint32_t ProfileGetString(const char* pSection, const char* pKey, const char* pDefault, char* pBuffer,
                          uint32_t nSize, const char* pFileName);

// True and the whole value (trimmed, quotes removed) when the key exists in
// the section; false, leaving sValue unchanged, when the file, the section or
// the key is missing.
bool ProfileFindString(const char* pSection, const char* pKey, std::string& sValue, const char* pFileName);

// The value read as a decimal integer with an optional sign (leading blanks
// skipped, reading stops at the first non-digit); nDefault when the key is
// missing or the value does not start with a number. Values beyond the 32-bit
// range saturate.
int32_t ProfileGetInt(const char* pSection, const char* pKey, int32_t nDefault, const char* pFileName);

// Replaces key in place or appends it to its section (appending the section,
// creating the file when missing). A null pKey erases the whole section, a
// null pValue erases the key. Returns false when the file cannot be written
// (the old file is then untouched) and when the text would break the file's
// line structure: a line break anywhere, '=' in a key or ']' in a section.
// New lines use the line ending the file already uses, LF for a new file.
bool ProfileWriteString(const char* pSection, const char* pKey, const char* pValue, const char* pFileName);
