#pragma once
// What the running process learns from its surroundings: its own program
// file and the user's home folder. Tests point both at temporary folders
// (the override below, the HOME environment variable).

#include <string>

// Full path of the running program (/proc/self/exe resolved), or the
// override when one is set; "" when neither is available.
std::string OwnExecutablePath();

// Makes OwnExecutablePath answer pPath; null restores the real answer.
void SetOwnExecutablePathOverride(const char* pPath);

// The user's home folder without a trailing '/': $HOME when set and not
// empty, else the password database entry, else "" (the file system root).
std::string UserHomeFolder();
