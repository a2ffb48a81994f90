#pragma once
// Finding a named section in an ELF file. The file is untrusted: every
// offset, size and count of its headers is checked against the file's size
// in 64-bit arithmetic before it is used.

#include <cstddef>
#include <cstdint>

struct ElfSection_st {
    uint64_t nOffset;  // of the section's bytes in the file
    uint64_t nSize;
};

// Finds the first section named pName that has bytes in the file (32- or
// 64-bit ELF, either byte order). False when fd is not a readable ELF file,
// its section headers are damaged or there is no such section.
bool FindElfSection(int fd, const char* pName, ElfSection_st& section);

// Reads exactly nCount bytes at nOffset; false on a short read or an error.
bool ReadFileAt(int fd, uint64_t nOffset, void* pBuffer, size_t nCount);
