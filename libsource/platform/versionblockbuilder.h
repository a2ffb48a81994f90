#pragma once
// Building version blocks (see versionblock.h) for a program at build time
// and for tests. Texts are single-byte (Latin-1) and stored as UTF-16.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct VersionStringTable_st {
    std::string sLanguageCodePage;  // eight hex digits, for example "040904E4"
    std::vector<std::pair<std::string, std::string>> strings;  // key, value
};

struct VersionInfo_st {
    uint16_t fileVersion[4];  // most significant part first
    std::vector<VersionStringTable_st> tables;
};

// The complete block: the fixed file information, a StringFileInfo node with
// the tables and a VarFileInfo node translating each table's language and
// code page. Empty when it would exceed the format's 65535-byte node limit.
std::vector<uint8_t> BuildVersionBlock(const VersionInfo_st& info);
