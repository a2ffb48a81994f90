#pragma once
// The guarded allocator that replaces the global allocation operators.

#include <cstddef>

// Extra heap bytes per block: the 8-byte size and the two 8-byte markers.
constexpr std::size_t kOroGuardOverhead = 24;

// Bytes taken from the heap for a block of n caller bytes.
std::size_t OroGuardedBlockSize(std::size_t n);
