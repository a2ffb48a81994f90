#pragma once
// COptions: the editor's persistent settings (the folder last used, the
// recent files and five window-placement numbers), kept in an ini file
// beside the program (its full path with the last four characters replaced
// by ".ini") or, where the program's folder cannot be written, in the user's
// configuration folder (SettingsLocation.h).

#include <cstdint>
#include <functional>

#include "RecentFileList.h"
#include "orostring.h"

// The number of recent-file slots in the menu and the settings file.
constexpr int32_t kRecentFileSlots = 5;

class COptions {
public:
    using TErrorReport = std::function<void(const COroString& sText)>;

    // Chooses the settings file from the program's own path; the other
    // values are set by Load.
    COptions();
    ~COptions() = default;
    COptions(const COptions&) = delete;
    COptions& operator=(const COptions&) = delete;

    // Reads the settings; a missing file, section, key or number gives the
    // defaults. Recent files that no longer exist are dropped.
    void Load();
    // Writes the settings. On the first value that cannot be written it
    // stops, reports "Unable to write to <file>" and returns false.
    bool Save();

    // When the file exists: moves or inserts it at the front of RecentFiles
    // (replacing an entry that differs only in letter case) and makes its
    // folder the new Path. Otherwise nothing changes.
    void AddRecentFile(const COroString& sFileName);

    // Where Save reports a failed write; by default to standard error.
    void SetErrorReport(TErrorReport report) { m_ErrorReport = std::move(report); }

    COroString IniFileName;
    // Start folder of the open and save dialogs; ends with a separator.
    COroString Path;
    CRecentFileList RecentFiles;
    int32_t Height = 0;
    int32_t Left = 0;
    int32_t State = 0;  // 0 normal, 1 minimized, 2 maximized
    int32_t Top = 0;
    int32_t Width = 0;

private:
    bool WriteInt(const char* pSection, const char* pKey, int32_t nValue);
    bool WriteString(const char* pSection, const char* pKey, const char* pValue);
    void ReportWriteFailure();

    TErrorReport m_ErrorReport;
    // The file lives in the user's configuration folder, which Save makes.
    bool m_bMakeFolders = false;
};

// The one settings object while the main window exists, else null.
extern COptions* g_pOptions;

// Keeps RecentFiles at the slot count: called by the menu rebuild on every
// change of the list, it deletes the oldest entry when one too many is held
// (the deletion notifies again, so each call removes at most one).
void TrimRecentFiles(COptions& options);

// Folder part of a file name: everything up to and including the last '/',
// '\' or ':'; "" when there is none.
COroString FolderOfFileName(const COroString& sFileName);
