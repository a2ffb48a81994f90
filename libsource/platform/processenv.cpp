#include "processenv.h"

#include <cstdlib>
#include <limits.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

bool s_bOverridden = false;
std::string s_sOverride;

std::string StripTrailingSlashes(std::string sPath)
{
    while (!sPath.empty() && sPath.back() == '/')
        sPath.pop_back();
    return sPath;
}

} // namespace

std::string OwnExecutablePath()
{
    if (s_bOverridden)
        return s_sOverride;
    // readlink does not terminate and silently truncates, so grow until the
    // answer is shorter than the buffer.
    for (size_t nSize = PATH_MAX; nSize <= 16 * PATH_MAX; nSize *= 2) {
        std::vector<char> buffer(nSize);
        const ssize_t nLength = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (nLength < 0)
            return "";
        if (static_cast<size_t>(nLength) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(nLength));
    }
    return "";
}

void SetOwnExecutablePathOverride(const char* pPath)
{
    s_bOverridden = pPath != nullptr;
    s_sOverride = pPath != nullptr ? pPath : "";
}

std::string UserHomeFolder()
{
    const char* pHome = std::getenv("HOME");
    if (pHome != nullptr && *pHome != '\0')
        return StripTrailingSlashes(pHome);
    const struct passwd* pEntry = getpwuid(getuid());
    if (pEntry != nullptr && pEntry->pw_dir != nullptr)
        return StripTrailingSlashes(pEntry->pw_dir);
    return "";
}
