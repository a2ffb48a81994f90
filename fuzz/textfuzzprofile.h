#pragma once
// fuzz_text, ini part: arbitrary bytes read as a private-profile file with
// section and key names taken from the bytes themselves, small buffers, the
// integer reading, and writes that must read back.

#include <string>
#include <vector>

#include "fuzzchoices.h"

// sFile: where the bytes may be written (a fresh name per process).
// names: extra candidate names (the input's text pieces).
void FuzzProfile(const std::string& sBytes, const std::string& sFile, const std::vector<std::string>& names,
                 CFuzzChoices& choices);
