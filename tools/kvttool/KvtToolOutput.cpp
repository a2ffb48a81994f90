#include "KvtToolOutput.h"

#include <cstdio>

int WriteToolOutput(const std::string& sText)
{
    if (std::fwrite(sText.data(), 1, sText.size(), stdout) != sText.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "kvttool: could not write to standard output\n");
        return 2;
    }
    return 0;
}
