#include "KVTCommandLine.h"

#include <string>

COroString JoinCommandLine(int argc, const char* const* argv)
{
    std::string sLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            sLine += ' ';
        sLine += argv[i];
    }
    return COroString(sLine.c_str());
}

COroString CommandLineFileName(const COroString& sCommandLine)
{
    const int32_t nLength = sCommandLine.GetLength();
    if (nLength == 0 || sCommandLine[0] != '"')
        return sCommandLine;
    // A lone quote would leave nothing to remove; it names no file.
    if (nLength < 2)
        return COroString();
    return sCommandLine.SubString(1, nLength - 2);
}
