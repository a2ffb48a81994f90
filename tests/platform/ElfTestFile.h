#pragma once
// Small ELF files made by the tests: a header, the given sections, a section
// name table and the section header table, in either class and byte order.
// The layout is returned so that tests can damage single fields.

#include <cstdint>
#include <string>
#include <vector>

struct ElfTestSection_st {
    std::string sName;
    std::vector<uint8_t> bytes;
    uint32_t nType = 1;  // SHT_PROGBITS
};

struct ElfTestLayout_st {
    bool b64 = true;
    bool bBigEndian = false;
    uint64_t nTableOffset = 0;       // section header table
    uint64_t nEntrySize = 0;
    std::vector<uint64_t> dataOffsets;  // per given section, in order
    uint64_t nNamesIndex = 0;        // index of the name table's header
};

std::vector<uint8_t> MakeElfFile(const std::vector<ElfTestSection_st>& sections, ElfTestLayout_st& layout);

// Writes an unsigned number of nBytes at nOffset in the file's byte order.
void PutElfField(std::vector<uint8_t>& file, const ElfTestLayout_st& layout, uint64_t nOffset, size_t nBytes,
                 uint64_t nValue);

// File offset of a field of section header nIndex: at nField64 in 64-bit
// files, at nField32 in 32-bit files.
uint64_t SectionHeaderField(const ElfTestLayout_st& layout, uint64_t nIndex, uint64_t nField64, uint64_t nField32);
