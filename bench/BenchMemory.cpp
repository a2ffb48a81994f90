#include "BenchMemory.h"

#include <cstdio>
#include <cstring>

BenchMemory_st ReadProcessMemory()
{
    BenchMemory_st memory;
    std::FILE* pFile = std::fopen("/proc/self/status", "r");
    if (!pFile)
        return memory;
    char line[256];
    while (std::fgets(line, sizeof line, pFile)) {
        long long nKiB = 0;
        if (std::sscanf(line, "VmRSS: %lld kB", &nKiB) == 1)
            memory.nResidentBytes = nKiB * 1024;
        else if (std::sscanf(line, "VmHWM: %lld kB", &nKiB) == 1)
            memory.nPeakBytes = nKiB * 1024;
    }
    std::fclose(pFile);
    return memory;
}
