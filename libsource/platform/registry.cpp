#include "registry.h"

#include <cstdlib>

#include "profile.h"

std::string RegistryFileName()
{
    const char* pOverride = std::getenv("KVTEDITOR_REGISTRY");
    if (pOverride != nullptr && *pOverride != '\0')
        return pOverride;
    return "/etc/kvteditor/registry.ini";
}

bool RegistryReadString(const char* pKeyPath, const char* pValueName, std::string& sValue)
{
    return ProfileFindString(pKeyPath, pValueName, sValue, RegistryFileName().c_str());
}
