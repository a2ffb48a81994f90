#include "KVTMenuItemLink.h"

#include <QAction>
#include <QKeySequence>

namespace {

void CopyFromAction(QAction* pItem, const QAction* pAction)
{
    QString sText = pAction->text();
    // The shortcut itself stays with the action (one key, one command); the
    // item only shows it, in the menu's shortcut column after the tab.
    if (!pAction->shortcut().isEmpty())
        sText += QLatin1Char('\t') + pAction->shortcut().toString(QKeySequence::NativeText);
    pItem->setText(sText);
    pItem->setIcon(pAction->icon());
    pItem->setStatusTip(pAction->statusTip());
    pItem->setEnabled(pAction->isEnabled());
}

} // namespace

QAction* CreateLinkedMenuItem(QObject* pOwner, const char* pName, QAction* pAction)
{
    auto* pItem = new QAction(pOwner);
    pItem->setObjectName(QString::fromLatin1(pName));
    CopyFromAction(pItem, pAction);
    QObject::connect(pAction, &QAction::changed, pItem, [pItem, pAction]() { CopyFromAction(pItem, pAction); });
    QObject::connect(pItem, &QAction::triggered, pAction, [pAction]() { pAction->trigger(); });
    return pItem;
}
