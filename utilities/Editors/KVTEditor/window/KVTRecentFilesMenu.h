#pragma once
// The recent-files entries of the File menu. The menu is rebuilt from
// RecentFiles of COptions on every change of the list: entries MRU0.. sit
// after "Print Setup...", followed by one separator "MRUSeparator" and Exit.
// The rebuild also keeps the list at the slot count.

#include <functional>

#include "orostring.h"

class COptions;
class QAction;
class QMenu;

class CKvtRecentFilesMenu {
public:
    // Clicking an entry calls onClick with the entry's menu item.
    CKvtRecentFilesMenu(QMenu& fileMenu, COptions& options, std::function<void(QAction*)> onClick);
    CKvtRecentFilesMenu(const CKvtRecentFilesMenu&) = delete;
    CKvtRecentFilesMenu& operator=(const CKvtRecentFilesMenu&) = delete;

    // The change notification of RecentFiles.
    void Rebuild();

    // The file an entry opens, exactly as it stands in the list.
    static COroString FileNameOf(const QAction* pItem);

private:
    // The File menu position of the first entry: just after "Print Setup...",
    // found by name so that items added above it move the entries along.
    int FirstEntryPosition() const;

    QMenu& m_FileMenu;
    COptions& m_Options;
    std::function<void(QAction*)> m_OnClick;
};
