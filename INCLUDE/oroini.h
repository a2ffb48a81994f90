#pragma once
// COroIni: reads single values of ini files.

#include <cstdint>

#include "orostring.h"

class COroIniInternal {};

class COroIni {
public:
    COroIni();
    ~COroIni();
    COroIni(const COroIni&) = delete;
    COroIni& operator=(const COroIni&) = delete;

    // 1 and the value (at most 255 characters) when the key has a non-empty
    // value; 0 otherwise, leaving sValue unchanged.
    int32_t ReadIniEntry(COroString& sValue, const COroString& sFileName, const COroString& sSection,
                         const COroString& sKey);

private:
    COroIniInternal* internal;
};
