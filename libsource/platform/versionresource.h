#pragma once
// The version resource of a program file: a version block (versionblock.h)
// kept in the ELF section ".kvtversion", which the build puts into each of
// the project's programs. The named files are untrusted.

#include <cstdint>
#include <string>

// The section that carries the block.
inline constexpr const char* kVersionSectionName = ".kvtversion";

// Size in bytes of the file's version block; 0 when the file cannot be read,
// is not an ELF file or carries no well-formed block.
uint32_t VersionResourceSize(const char* pFileName);

// Copies the first nSize bytes of the file's block (all of it when nSize is
// at least its size) into pData; false when the file carries no block.
bool VersionResourceRead(const char* pFileName, uint32_t nSize, void* pData);

// Looks up a text value of a block read above, for example
// "\StringFileInfo\040904E4\FileDescription"; see VersionBlockQueryString.
bool VersionResourceQueryString(const void* pData, uint32_t nSize, const char* pPath, std::string& sValue);
