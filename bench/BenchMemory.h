#pragma once
// Resident memory of this process as the kernel reports it in
// /proc/self/status: the current size and the peak since the process began.

#include <cstdint>

struct BenchMemory_st {
    int64_t nResidentBytes = -1;
    int64_t nPeakBytes = -1;
};

BenchMemory_st ReadProcessMemory();
