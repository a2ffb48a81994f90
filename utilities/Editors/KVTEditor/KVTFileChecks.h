#pragma once
// Checks made on a file before it is opened as a document.

// The first 8 bytes are a file type (letters or digits, then only spaces)
// followed by "V3.2".
bool CheckFileHeader(const char* pFileName);
// The file exists and cannot be opened for reading and writing.
bool IsFileReadOnly(const char* pFileName);
// Something exists at the path.
bool FileExistsAt(const char* pFileName);
