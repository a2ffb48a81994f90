#include "KVTNodeCommands.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QTreeView>
#include <memory>
#include <string_view>
#include <vector>

#include "KVTDocumentSession.h"
#include "KVTPanelEvents.h"
#include "KVTPanelText.h"
#include "KVTTreeModel.h"
#include "KVTUndoCommands.h"

namespace {

const QKeySequence kCopyShortcut(Qt::CTRL | Qt::Key_C);
const QKeySequence kPasteShortcut(Qt::CTRL | Qt::Key_V);

std::vector<std::string_view> ChildLabels(CKvtNodeStruct* pParent)
{
    std::vector<std::string_view> labels;
    labels.reserve(static_cast<size_t>(pParent->GetChildCount()));
    for (int32_t i = 0; i < pParent->GetChildCount(); ++i) {
        const COroString& sLabel = pParent->GetChild(i)->m_sLabel;
        labels.emplace_back(sLabel.CStr(), static_cast<size_t>(sLabel.GetLength()));
    }
    return labels;
}

} // namespace

CKvtNodeCommands::CKvtNodeCommands(CKvtDocumentSession& session, const KvtNodeCommandControls_st& controls)
    : QObject(nullptr), m_Session(session), m_Controls(controls)
{
    connect(m_Controls.actNodeCopy, &QAction::triggered, this, [this]() { actNodeCopyExecute(); });
    connect(m_Controls.actNodePaste, &QAction::triggered, this, [this]() { actNodePasteExecute(); });
    connect(m_Controls.actNodeDelete, &QAction::triggered, this, [this]() { actNodeDeleteExecute(); });
    connect(m_Controls.miEdit, &QMenu::aboutToShow, this, [this]() { miEditClick(); });
    m_Controls.tvKVT->installEventFilter(this);
    m_Controls.tvKVT->viewport()->installEventFilter(this);
}

void CKvtNodeCommands::AddNodeMenuClick(QAction* pSender)
{
    const QModelIndex item = m_Session.SelectedItem();
    CKvtNodeBase* pNode = m_Session.TreeModel().NodeAt(item);
    CKvtNodeStruct* pParent = pNode ? pNode->GetStructNode() : nullptr;
    if (!pParent || !pSender)
        return;
    const int32_t nType = AddNodeEntryType(pSender->data().toInt());
    CKvtNodeBase* pNew = nType < 0 ? nullptr : CreateKvtNode(static_cast<TKvtFieldType>(nType));
    if (!pNew)
        return;
    pParent->AssignNextIndex(pNew);
    pParent->AddChild(pNew);
    m_Session.TreeModel().AppendChild(item, pNew);
    // A new node is a change: closing the window must offer to save it.
    m_Session.PushStep(new CKvtInsertNodeStep(m_Session, m_Session.TreeModel().PathOf(item), pNew,
                                              pParent->GetChildCount() - 1, pSender->text()));
    m_Session.RefreshGui();
}

void CKvtNodeCommands::CopySelectedNode()
{
    CKvtNodeBase* pNode = m_Session.SelectedNode();
    if (pNode)
        m_Session.ReplaceClipboardNode(CloneKvtNode(pNode));
}

void CKvtNodeCommands::PasteNode()
{
    CKvtNodeBase* pClipboard = m_Session.ClipboardNode();
    const QModelIndex item = m_Session.SelectedItem();
    CKvtNodeBase* pNode = m_Session.TreeModel().NodeAt(item);
    CKvtNodeStruct* pParent = pNode ? pNode->GetStructNode() : nullptr;
    if (!pClipboard || !pParent)
        return;
    // A fresh copy each time: the clipboard can be pasted again.
    CKvtNodeBase* pCopy = CloneKvtNode(pClipboard);
    if (!pCopy)
        return;
    const COroString& sLabel = pClipboard->m_sLabel;
    pCopy->m_sLabel = MakeUniqueFieldId(std::string_view(sLabel.CStr(), static_cast<size_t>(sLabel.GetLength())),
                                        ChildLabels(pParent));
    pParent->AddChild(pCopy);
    m_Session.TreeModel().AppendChild(item, pCopy);
    m_Session.PushStep(new CKvtInsertNodeStep(m_Session, m_Session.TreeModel().PathOf(item), pCopy,
                                              pParent->GetChildCount() - 1, QStringLiteral("Paste Node")));
}

void CKvtNodeCommands::DeleteSelectedNode()
{
    CKvtTreeModel& model = m_Session.TreeModel();
    const QPersistentModelIndex item(m_Session.SelectedItem());
    CKvtNodeBase* pNode = model.NodeAt(item);
    CKvtNodeBase* pParentNode = model.ParentNodeAt(item);
    CKvtNodeStruct* pParent = pParentNode ? pParentNode->GetStructNode() : nullptr;
    if (!pNode || !pParent)
        return;
    // The step keeps the subtree and its items for Undo. Taking them out
    // moves the selection on first, so the handlers of the move apply the
    // panel to the node while it still exists.
    auto pStep = std::make_unique<CKvtDeleteNodeStep>(m_Session, model.PathOf(item.parent()), pNode,
                                                      pParent->IndexOfChild(pNode), QStringLiteral("Delete Node"));
    pStep->Detach();
    m_Session.PushStep(pStep.release());
}

void CKvtNodeCommands::actNodeCopyExecute()
{
    CopySelectedNode();
}

void CKvtNodeCommands::actNodePasteExecute()
{
    // Only a paste that added something changes the document.
    PasteNode();
    m_Session.RefreshGui();
}

void CKvtNodeCommands::actNodeDeleteExecute()
{
    DeleteSelectedNode();
    m_Session.RefreshGui();
}

void CKvtNodeCommands::RefreshActions()
{
    const QModelIndex item = m_Session.SelectedItem();
    const bool bSelected = m_Session.TreeModel().NodeAt(item) != nullptr;
    const bool bRoot = bSelected && !item.parent().isValid();
    m_Controls.actNodeDelete->setEnabled(bSelected && !bRoot);
    m_Controls.actNodeCopy->setEnabled(bSelected && !bRoot);
    m_Controls.actNodePaste->setEnabled(bSelected);
}

void CKvtNodeCommands::miEditClick()
{
    CKvtNodeBase* pNode = m_Session.SelectedNode();
    m_Controls.miNodeCopy->setEnabled(pNode != nullptr);
    m_Controls.miNodePaste->setEnabled(pNode && m_Session.ClipboardNode() && pNode->GetStructNode());
}

void CKvtNodeCommands::tvKVTEnter()
{
    m_Controls.actNodeCopy->setShortcut(kCopyShortcut);
    m_Controls.actNodePaste->setShortcut(kPasteShortcut);
}

void CKvtNodeCommands::tvKVTExit()
{
    // Elsewhere the keys copy and paste text.
    m_Controls.actNodeCopy->setShortcut(QKeySequence());
    m_Controls.actNodePaste->setShortcut(QKeySequence());
}

void CKvtNodeCommands::tvKVTMouseDown(const QPoint& position)
{
    m_Session.SelectItem(m_Controls.tvKVT->indexAt(position));
    CKvtNodeBase* pNode = m_Session.SelectedNode();
    const bool bContainer = pNode && pNode->GetStructNode();
    const bool bFieldParent = bContainer && pNode->GetType() != ftLIST;
    for (QAction* pEntry : m_Controls.pumAddNode->actions()) {
        const QString sName = pEntry->objectName();
        if (pEntry->isSeparator() || !sName.startsWith(QLatin1String("Add")))
            continue;
        pEntry->setEnabled(IsAddNodeEntryEnabled(pEntry->data().toInt(), bContainer, bFieldParent));
    }
}

void CKvtNodeCommands::tvKVTKeyDown(int nKey)
{
    if (nKey == Qt::Key_Delete)
        m_Controls.actNodeDelete->trigger();
}

bool CKvtNodeCommands::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_Controls.tvKVT) {
        switch (pEvent->type()) {
        case QEvent::FocusIn:
            if (CKvtPanelEvents::IsUserFocusChange(pEvent)) {
                tvKVTEnter();
                break;
            }
            // The focus coming back from a menu or another window is kept
            // from the view: with no current item it would make its first
            // item current, and so selected, though nothing was chosen.
            return true;
        case QEvent::FocusOut:
            if (CKvtPanelEvents::IsUserFocusChange(pEvent))
                tvKVTExit();
            break;
        case QEvent::KeyPress: tvKVTKeyDown(static_cast<QKeyEvent*>(pEvent)->key()); break;
        default: break;
        }
        return false;
    }
    if (pWatched == m_Controls.tvKVT->viewport() &&
        (pEvent->type() == QEvent::MouseButtonPress || pEvent->type() == QEvent::MouseButtonRelease)) {
        auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (pMouse->button() != Qt::RightButton)
            return false;
        if (pEvent->type() == QEvent::MouseButtonPress)
            tvKVTMouseDown(pMouse->position().toPoint());
        // The right button selects as above and opens the popup; the view's
        // own handling of it (a drag, a toggle) has no place here.
        return true;
    }
    return false;
}
