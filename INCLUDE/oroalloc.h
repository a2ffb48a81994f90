#pragma once
// The guarded allocator that replaces the global allocation operators.

#include <cstddef>
#include <cstdint>

// Extra heap bytes per block: the 8-byte size and the two 8-byte markers.
constexpr std::size_t kOroGuardOverhead = 24;

// Bytes taken from the heap for a block of n caller bytes.
std::size_t OroGuardedBlockSize(std::size_t n);

// Caller bytes of the guarded blocks this thread has allocated and not yet
// released, and the most there were since the last reset (or the thread's
// start). Blocks released by another thread than their own skew the figures
// of both threads; they serve single-threaded measurements such as tests.
int64_t OroGuardedBytesInUse();
int64_t OroGuardedPeakBytes();
void OroGuardedResetPeak();
