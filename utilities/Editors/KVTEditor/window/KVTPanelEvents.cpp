#include "KVTPanelEvents.h"

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
    case QEvent::FocusIn:
        if (IsUserFocusChange(pEvent))
            FocusIn(found->second);
        break;
    case QEvent::FocusOut:
        if (IsUserFocusChange(pEvent))
            FocusOut(found->second);
        break;
    case QEvent::KeyPress: return KeyPress(found->second, static_cast<QKeyEvent*>(pEvent)->key());
    default: break;
    }
    return false;
}

void CKvtPanelEvents::FocusIn(TRole nRole)
{
    switch (nRole) {
    case TRole::Label:
    case TRole::Property:
    case TRole::StrRef:
    case TRole::LanguageID:
    case TRole::Shared: m_LocStringPage.PropOnEnter(); break;
    case TRole::Value:
    case TRole::Button: break;
    }
}

void CKvtPanelEvents::FocusOut(TRole nRole)
{
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
}

bool CKvtPanelEvents::KeyPress(TRole nRole, int nKey)
{
    switch (nRole) {
    case TRole::Value:
        // Not consumed: the memo then breaks the line at the caret.
        if (IsEnter(nKey))
            m_EditPanel.ValueKeyDown();
        return false;
    case TRole::Label:
    case TRole::StrRef:
        if (IsEnter(nKey))
            m_EditPanel.SetDataFromEdits();
        return false;
    case TRole::LanguageID:
        m_LocStringPage.PropOnKeyDown();
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
