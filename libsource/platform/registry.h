#pragma once
// String values of the local-machine registry root, kept in an ini-format
// file: one section per key path written exactly as the program names it
// (for example [\SOFTWARE\Breakpoint\Hex Workshop 3.0]) and one entry per
// value name. Key paths and value names compare without regard to case.

#include <string>

// The registry file: $KVTEDITOR_REGISTRY when set and not empty, else
// /etc/kvteditor/registry.ini.
std::string RegistryFileName();

// True and the value when the file, the key's section and the value exist;
// false otherwise, leaving sValue unchanged.
bool RegistryReadString(const char* pKeyPath, const char* pValueName, std::string& sValue);
