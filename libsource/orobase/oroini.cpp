#include "oroini.h"

#include "orobase.h"
#include "profile.h"

COroIni::COroIni() : internal(new COroIniInternal) {}

COroIni::~COroIni()
{
    delete internal;
}

int32_t COroIni::ReadIniEntry(COroString& sValue, const COroString& sFileName, const COroString& sSection,
                              const COroString& sKey)
{
    if (!internal)
        OroWarning("oroini", 73, nullptr);
    char buffer[256];
    const uint32_t nRead =
        ProfileGetString(sSection.CStr(), sKey.CStr(), "", buffer, sizeof buffer, sFileName.CStr());
    if (nRead == 0)
        return 0;
    sValue = buffer;
    return 1;
}
