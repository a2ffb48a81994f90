#pragma once
// Opening a file that a user or a setting names. Only a regular file is
// opened: the open itself never waits (a FIFO without a writer, a terminal
// or another device would block a plain open), and anything that is not a
// regular file is refused as a file that cannot be opened, with errno set
// (EISDIR for a folder, EINVAL for the rest) while a missing file keeps
// ENOENT.

#include <sys/types.h>

#include <cstdio>

// open(2) with nFlags (O_CREAT and O_TRUNC included; a file is truncated
// only once it is known to be regular); the descriptor, or -1.
int OpenRegularFile(const char* pFileName, int nFlags, mode_t nMode = 0666);
// std::fopen with pMode ("r", "r+", "w", "w+", "a", "a+", each with an
// optional "b"), for regular files only; null when refused or on failure.
std::FILE* OpenRegularStream(const char* pFileName, const char* pMode);
// Whether the name leads to a regular file (following links).
bool IsRegularFileAt(const char* pFileName);
