#pragma once
// What kvttool's commands share: exit codes beyond 0 to 3 and the write of a
// command's whole output.

#include <string>

constexpr int kToolExitNoSuchPath = 4;

// Writes the text to standard output; 0, or 2 (with a message) when it could not.
int WriteToolOutput(const std::string& sText);
