#include "KVTPanelEvents.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>

#include "KVTEditPanel.h"
#include "KVTLocStringPage.h"

namespace {

bool IsEnter(int nKey)
{
    return nKey == Qt::Key_Return || nKey == Qt::Key_Enter;
}

} // namespace

CKvtPanelEvents::CKvtPanelEvents(CKvtEditPanel& editPanel, CKvtLocStringPage& locStringPage)
    : QObject(nullptr), m_EditPanel(editPanel), m_LocStringPage(locStringPage)
{}

void CKvtPanelEvents::Watch(QWidget* pControl, TRole nRole)
{
    m_Roles[pControl] = nRole;
    pControl->installEventFilter(this);
}

bool CKvtPanelEvents::IsUserFocusChange(const QEvent* pEvent)
{
    const Qt::FocusReason nReason = static_cast<const QFocusEvent*>(pEvent)->reason();
    return nReason != Qt::PopupFocusReason && nReason != Qt::ActiveWindowFocusReason &&
           nReason != Qt::MenuBarFocusReason;
}

bool CKvtPanelEvents::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    const auto found = m_Roles.find(pWatched);
    if (found == m_Roles.end())
        return false;
    switch (pEvent->type()) {
    case QEvent::FocusOut:
        if (IsUserFocusChange(pEvent))
            FocusOut(pWatched, found->second);
        break;
    case QEvent::KeyPress: return KeyPress(found->second, static_cast<QKeyEvent*>(pEvent)->key());
    default: break;
    }
    return false;
}

bool CKvtPanelEvents::IsEditingControl(const QObject* pControl) const
{
    const auto found = m_Roles.find(pControl);
    return found != m_Roles.end() && found->second != TRole::Value && found->second != TRole::Button;
}

bool CKvtPanelEvents::HasEditingFocus() const
{
    if (IsEditingControl(m_pLeaving))
        return true;
    // The focus may sit in a part of the control (a combo box's line edit)
    // or in its popup (a drop-down list), whose parent is the control.
    for (const QWidget* pWidget = QApplication::focusWidget(); pWidget; pWidget = pWidget->parentWidget()) {
        if (m_Roles.count(pWidget))
            return IsEditingControl(pWidget);
    }
    return false;
}

void CKvtPanelEvents::FocusOut(const QObject* pControl, TRole nRole)
{
    // While the exit handlers run the control still counts as being edited:
    // the page must not redisplay the text it is about to store.
    const QObject* pOuter = m_pLeaving;
    m_pLeaving = pControl;
    switch (nRole) {
    case TRole::Value:
    case TRole::Button: m_EditPanel.SetDataFromEdits(); break;
    case TRole::Label:
    case TRole::Property:
    case TRole::StrRef:
    case TRole::LanguageID:
    case TRole::Shared:
        m_EditPanel.SetDataFromEdits();
        m_LocStringPage.PropOnExit();
        break;
    }
    m_pLeaving = pOuter;
}

bool CKvtPanelEvents::KeyPress(TRole nRole, int nKey)
{
    switch (nRole) {
    case TRole::Value:
        // A text value takes the memo's own line break at the caret; a
        // number takes none.
        return IsEnter(nKey) && m_EditPanel.ValueKeyDown();
    case TRole::Label:
    case TRole::StrRef:
        if (IsEnter(nKey))
            m_EditPanel.SetDataFromEdits();
        return false;
    case TRole::LanguageID:
        if (IsEnter(nKey)) {
            m_LocStringPage.cbLangIDsKeyPress();
            // The list would otherwise take Enter as the end of an edit and
            // pick the matching item after Add has moved on.
            return true;
        }
        return false;
    case TRole::Property:
    case TRole::Shared:
    case TRole::Button: return false;
    }
    return false;
}
