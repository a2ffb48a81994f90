#include "KVTCommandIcons.h"

#include <QApplication>
#include <QStyle>

namespace {

QIcon ThemeOrStyle(const char* pThemeName, QStyle::StandardPixmap nFallback)
{
    return QIcon::fromTheme(QString::fromLatin1(pThemeName), QApplication::style()->standardIcon(nFallback));
}

} // namespace

QIcon KvtCommandIcon(int nImageIndex)
{
    switch (nImageIndex) {
    case 0: return ThemeOrStyle("document-new", QStyle::SP_FileIcon);
    case 1: return ThemeOrStyle("document-open", QStyle::SP_DialogOpenButton);
    case 2: return ThemeOrStyle("document-save", QStyle::SP_DialogSaveButton);
    case 4: return ThemeOrStyle("edit-copy", QStyle::SP_FileDialogDetailedView);
    case 5: return ThemeOrStyle("edit-paste", QStyle::SP_FileDialogListView);
    case 6: return ThemeOrStyle("edit-delete", QStyle::SP_TrashIcon);
    case 7: return ThemeOrStyle("accessories-text-editor", QStyle::SP_ComputerIcon);
    default: break;
    }
    return QIcon();
}
