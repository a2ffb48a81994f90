#include "SettingsLocation.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "pathtext.h"
#include "processenv.h"

namespace {

const char* const kUserConfigFile = "/kvteditor/kvted.ini";

bool CanWriteExistingFile(const std::string& sFileName)
{
    struct stat info {};
    return stat(sFileName.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(sFileName.c_str(), W_OK) == 0;
}

bool CanCreateIn(const std::string& sFolder)
{
    struct stat info {};
    return stat(sFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && access(sFolder.c_str(), W_OK | X_OK) == 0;
}

// An installed copy sits in PREFIX/bin beside the desktop entry that its
// installation put in PREFIX/share/applications. Its folder is the
// system's, writable or not (root can write /usr/bin): files made there
// would outlive the package.
bool IsInstalledCopy(const std::string& sProgramFolder)
{
    struct stat info {};
    const std::string sEntry = sProgramFolder + "/../share/applications/kvteditor.desktop";
    return stat(sEntry.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsFolder(const std::string& sPath)
{
    struct stat info {};
    return stat(sPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string SettingsFileBesideProgram(const std::string& sProgram)
{
    // Four characters go even when the name has no three-letter extension.
    const size_t nKeep = sProgram.size() > 4 ? sProgram.size() - 4 : 0;
    return sProgram.substr(0, nKeep) + ".ini";
}

std::string SettingsFileInUserConfig()
{
    const char* pConfig = std::getenv("XDG_CONFIG_HOME");
    // Relative names are ignored, as the base-directory convention asks.
    if (pConfig != nullptr && pConfig[0] == '/')
        return std::string(pConfig) + kUserConfigFile;
    return UserHomeFolder() + "/.config" + kUserConfigFile;
}

std::string ChooseSettingsFile(const std::string& sProgram)
{
    const std::string sBeside = SettingsFileBesideProgram(sProgram);
    struct stat info {};
    const bool bExists = lstat(sBeside.c_str(), &info) == 0;
    const std::string sFolder = FolderOfPath(sBeside, TFolderForm::ForSystemCalls);
    if (bExists ? CanWriteExistingFile(sBeside) : (CanCreateIn(sFolder) && !IsInstalledCopy(sFolder)))
        return sBeside;
    return SettingsFileInUserConfig();
}

bool MakeFoldersFor(const std::string& sFileName)
{
    const std::string sFolder = FolderOfPath(sFileName, TFolderForm::ForSystemCalls);
    // Walks the separators left to right, one mkdir per component: the work
    // is bounded by the length of the name.
    for (size_t nEnd = sFolder.find('/', 1);; nEnd = sFolder.find('/', nEnd + 1)) {
        const std::string sPart = sFolder.substr(0, nEnd);
        if (!IsFolder(sPart) && mkdir(sPart.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (nEnd == std::string::npos)
            break;
    }
    return IsFolder(sFolder);
}
