#include "bcglobal.h"

#include <string>

#include "asciitext.h"
#include "processenv.h"
#include "versionresource.h"

const char* const g_pVersionLanguageCodePage = "040904E4";

COroString g_sTitle;

COroString GetVersionInfoString(const COroString& sFileName, const COroString& sKey)
{
    const uint32_t nSize = VersionResourceSize(sFileName.CStr());
    if (nSize == 0)
        return COroString();
    // Allocated through the guarded allocator like every buffer of the program.
    char* pBuffer = new char[nSize];
    COroString sResult;
    if (VersionResourceRead(sFileName.CStr(), nSize, pBuffer)) {
        const std::string sPath = std::string("\\StringFileInfo\\") + g_pVersionLanguageCodePage + "\\" + sKey.CStr();
        std::string sValue;
        if (VersionResourceQueryString(pBuffer, nSize, sPath.c_str(), sValue))
            sResult = sValue.c_str();
    }
    delete[] pBuffer;
    return sResult;
}

COroString GetAppVersionInfo(const COroString& sKey)
{
    return GetVersionInfoString(OwnExecutablePath().c_str(), sKey);
}

const COroString& BuildTitle()
{
    g_sTitle = GetAppVersionInfo("FileDescription") + " v" + GetAppVersionInfo("FileVersion");
    return g_sTitle;
}

namespace {

// True when the text holds at least n characters, looking no further.
bool HasAtLeast(const char* p, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        if (p[i] == '\0')
            return false;
    }
    return true;
}

} // namespace

int32_t StrNICmpPrefix(const char* a, const char* b, int32_t n)
{
    const char* pA = a != nullptr ? a : "";
    const char* pB = b != nullptr ? b : "";
    if (!HasAtLeast(pA, n) || !HasAtLeast(pB, n))
        return -1;
    for (int32_t i = 0; i < n; ++i) {
        const int nDiff = AsciiLower(static_cast<unsigned char>(pA[i])) - AsciiLower(static_cast<unsigned char>(pB[i]));
        if (nDiff != 0)
            return nDiff;
    }
    return 0;
}
