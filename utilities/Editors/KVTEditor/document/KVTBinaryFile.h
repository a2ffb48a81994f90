#pragma once
// A binary value to and from a file of its own: Import reads the whole file
// as the new value, Export replaces the file atomically, as a document save
// does, so a failed export leaves the old file as it was.

#include <cstdint>
#include <string>
#include <vector>

// The file's bytes; false when it cannot be opened or read, is not a
// regular file, or is longer than a value can hold (4 GiB - 1 bytes).
bool ReadBinaryValueFile(const std::string& sPath, std::vector<uint8_t>& bytes);

// Writes the bytes as the whole file; false (the file untouched) on any
// failure.
bool WriteBinaryValueFile(const std::string& sPath, const uint8_t* pData, uint32_t nSize);
