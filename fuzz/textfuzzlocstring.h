#pragma once
// fuzz_text, localized-string part: AddString with arbitrary texts, languages
// and genders, checked against a plain model of the entry rules, with the
// "Show Data Strref" option of the working folder's ini file on or off.

#include <string>
#include <vector>

#include "fuzzchoices.h"

// sOptionFolder: a folder of this process that may hold the option file;
// the checks run with it as the working folder and restore the old one.
void FuzzLocString(const std::vector<std::string>& texts, const std::string& sOptionFolder, CFuzzChoices& choices);
