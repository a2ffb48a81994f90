#pragma once
// Whole-file reads and crash-safe whole-file replacement. A replacement is
// written to a temporary file in the same folder and renamed over the target,
// so a failure at any point leaves the old file exactly as it was.

#include <string>

// Reads the whole file into sContent. Returns true and bExists = false when
// the file does not exist (sContent empty); false when it exists but cannot
// be read (or is not a regular file).
bool ReadWholeFile(const std::string& sPath, std::string& sContent, bool& bExists);

// Replaces (or creates) the file with sContent. Keeps the permission bits of
// an existing file and writes through a symbolic link to its target. Returns
// false on any failure, the old file then being untouched.
bool ReplaceFileAtomically(const std::string& sPath, const std::string& sContent);
