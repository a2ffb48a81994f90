#pragma once
// Checks made on a file before it is opened as a document.

#include <string_view>

// The first 8 bytes are a file type (letters or digits, then only spaces)
// followed by "V3.2".
bool CheckFileHeader(const char* pFileName);
// Whether a file with this file type passes that check: four characters,
// letters or digits padded with spaces. Documents are saved only with such
// a file type, so that every saved file can be opened again.
bool IsOpenableFileType(std::string_view sType);
// The file exists and cannot be opened for reading and writing.
bool IsFileReadOnly(const char* pFileName);
// Something exists at the path.
bool FileExistsAt(const char* pFileName);
