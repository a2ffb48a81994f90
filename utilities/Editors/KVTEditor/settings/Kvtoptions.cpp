#include "Kvtoptions.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "SettingsLocation.h"
#include "pathtext.h"
#include "processenv.h"
#include "profile.h"

COptions* g_pOptions = nullptr;

namespace {

const char* const kMainSection = "Main";
const char* const kRecentSection = "Recent Files";
// The designed default start folder; here it stands for the user's home.
const char* const kDefaultFolder = "C:\\";
constexpr uint32_t kPathBufferSize = 4096;

COroString HomeFolder()
{
    return (UserHomeFolder() + "/").c_str();
}

bool IsDefaultFolder(const char* pFolder)
{
    return (pFolder[0] == 'C' || pFolder[0] == 'c') && std::string(pFolder + 1) == ":\\";
}

bool FileExists(const COroString& sFileName)
{
    struct stat info {};
    return sFileName.GetLength() > 0 && stat(sFileName.CStr(), &info) == 0 && !S_ISDIR(info.st_mode);
}

COroString SlotKey(int32_t nSlot)
{
    COroString sKey;
    sKey.Format("MRU%d", nSlot);
    return sKey;
}

} // namespace

COroString FolderOfFileName(const COroString& sFileName)
{
    return FolderOfPath(sFileName.CStr(), TFolderForm::WithSeparator).c_str();
}

COptions::COptions()
{
    const std::string sProgram = OwnExecutablePath();
    const std::string sFileName = ChooseSettingsFile(sProgram);
    IniFileName = sFileName.c_str();
    m_bMakeFolders = sFileName != SettingsFileBesideProgram(sProgram);
    m_ErrorReport = [](const COroString& sText) { std::fprintf(stderr, "%s\n", sText.CStr()); };
}

void COptions::Load()
{
    const char* pFile = IniFileName.CStr();
    Height = ProfileGetInt(kMainSection, "Height", 480, pFile);
    Left = ProfileGetInt(kMainSection, "Left", 0, pFile);
    State = ProfileGetInt(kMainSection, "State", 0, pFile);
    Top = ProfileGetInt(kMainSection, "Top", 0, pFile);
    Width = ProfileGetInt(kMainSection, "Width", 640, pFile);

    char buffer[kPathBufferSize];
    ProfileGetString(kRecentSection, "Path", kDefaultFolder, buffer, sizeof buffer, pFile);
    Path = IsDefaultFolder(buffer) ? HomeFolder() : COroString(buffer);

    // Oldest first: each AddRecentFile inserts at the front, which restores
    // the stored order and leaves Path at the newest existing file's folder.
    for (int32_t nSlot = kRecentFileSlots - 1; nSlot >= 0; --nSlot) {
        ProfileGetString(kRecentSection, SlotKey(nSlot).CStr(), "", buffer, sizeof buffer, pFile);
        if (buffer[0] != '\0')
            AddRecentFile(buffer);
    }
}

bool COptions::Save()
{
    // The user's configuration folder is made on the first save.
    if (m_bMakeFolders && !MakeFoldersFor(IniFileName.CStr())) {
        ReportWriteFailure();
        return false;
    }
    bool bOk = WriteInt(kMainSection, "State", State);
    // A maximized window keeps the placement it will be restored to.
    if (bOk && State != 2) {
        bOk = WriteInt(kMainSection, "Height", Height) && WriteInt(kMainSection, "Left", Left) &&
              WriteInt(kMainSection, "Top", Top) && WriteInt(kMainSection, "Width", Width);
    }
    // Erasing first drops the slots of entries that are gone.
    bOk = bOk && WriteString(kRecentSection, nullptr, nullptr);
    bOk = bOk && WriteString(kRecentSection, "Path", Path.CStr());
    for (int32_t i = 0; bOk && i < RecentFiles.Count(); ++i)
        bOk = WriteString(kRecentSection, SlotKey(i).CStr(), RecentFiles[i].CStr());
    return bOk;
}

void COptions::AddRecentFile(const COroString& sFileName)
{
    if (!FileExists(sFileName))
        return;
    const int32_t nIndex = RecentFiles.IndexOf(sFileName);
    if (nIndex >= 0)
        RecentFiles.Delete(nIndex);
    RecentFiles.Insert(0, sFileName);
    Path = FolderOfFileName(sFileName);
}

bool COptions::WriteInt(const char* pSection, const char* pKey, int32_t nValue)
{
    return WriteString(pSection, pKey, COroString(nValue).CStr());
}

bool COptions::WriteString(const char* pSection, const char* pKey, const char* pValue)
{
    if (ProfileWriteString(pSection, pKey, pValue, IniFileName.CStr()))
        return true;
    ReportWriteFailure();
    return false;
}

void COptions::ReportWriteFailure()
{
    if (m_ErrorReport) {
        COroString sText;
        sText.Format("Unable to write to %s", IniFileName.CStr());
        m_ErrorReport(sText);
    }
}

void TrimRecentFiles(COptions& options)
{
    if (options.RecentFiles.Count() > kRecentFileSlots)
        options.RecentFiles.Delete(options.RecentFiles.Count() - 1);
}
