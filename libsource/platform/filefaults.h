#pragma once
// The writes and renames of a document save go through these two calls, so
// that tests can make them fail at a chosen point and check that nothing is
// lost. Without a planned fault they are plain fwrite and rename.

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Writes all bytes; false on any failure.
bool FileWriteAll(std::FILE* pFile, const void* pData, size_t nBytes);
int FileRename(const char* pFrom, const char* pTo);

// Test hooks. Writes fail as soon as more than nBytes bytes would have been
// written since the call (a negative count removes the fault); the bytes up
// to the limit are written, as a full disk would.
void SetFileWriteFault(int64_t nBytes);
// Every rename fails while set.
void SetFileRenameFault(bool bFail);
