#pragma once
// COroDebug: the fatal assertion box, the Abort/Retry/Ignore warning box and
// the (inactive) error log, reached through the root object g_pOroBase.

#include <cstdint>
#include <cstdio>

#include "orostring.h"

class COroDebugInternal {
public:
    int32_t logOpen = 0;
    std::FILE* messageLog = nullptr;
    std::FILE* errorLog = nullptr;
};

class COroDebug {
public:
    COroDebug();
    ~COroDebug();
    COroDebug(const COroDebug&) = delete;
    COroDebug& operator=(const COroDebug&) = delete;

    [[noreturn]] void Assert(const char* pModule, int32_t nLine, const char* pMessage);
    void Warning(const char* pModule, int32_t nLine, const char* pMessage);
    // Appends to the error log when it is open; it never is in this program.
    void WriteToErrorFile(const COroString& sLine);

    COroString message;

private:
    COroDebugInternal* internal;
};
