#include "KVTDocumentSession.h"

#include "KVTSessionView.h"
#include "KVTTreeModel.h"
#include "KVTUndoCommands.h"

CKvtDocumentSession::CKvtDocumentSession(CKvtTreeModel& treeModel, IKvtSessionView& view, IKvtDialogs& dialogs)
    : m_TreeModel(treeModel), m_View(view), m_Dialogs(dialogs), m_bNeverSaved(false), m_bReadOnly(false),
      m_bReplaying(false), m_pLocStrNode(nullptr)
{}

CKvtDocumentSession::~CKvtDocumentSession()
{
    // The model's items point at the nodes, so they go first; the steps own
    // nodes and items out of the document.
    m_UndoStack.clear();
    m_TreeModel.Rebuild(nullptr, m_TreeModel.IsPreview());
    m_pRootNode.reset();
    m_pClipboardNode.reset();
}

void CKvtDocumentSession::StartDocument(const COroString& sFileName, bool bReadOnly)
{
    m_UndoStack.clear();
    m_pRootNode = std::make_unique<CKvtNodeTopLevelStruct>();
    m_sFileName = sFileName;
    m_bNeverSaved = false;
    m_bReadOnly = bReadOnly;
}

void CKvtDocumentSession::AdoptDocument(std::unique_ptr<CKvtNodeTopLevelStruct> pRoot)
{
    // Not saved anywhere yet: modified with no step to undo.
    m_UndoStack.clear();
    m_pRootNode = std::move(pRoot);
    m_sFileName = COroString();
    m_bNeverSaved = true;
    m_bReadOnly = false;
}

void CKvtDocumentSession::CloseDocument()
{
    // As in the destructor: the steps and the items before the nodes.
    m_UndoStack.clear();
    m_TreeModel.Rebuild(nullptr, m_TreeModel.IsPreview());
    m_pRootNode.reset();
    m_pLocStrNode = nullptr;
    m_sFileName = COroString();
    m_bNeverSaved = false;
    m_bReadOnly = false;
}

QModelIndex CKvtDocumentSession::SelectedItem() const
{
    return m_View.SelectedItem();
}

CKvtNodeBase* CKvtDocumentSession::SelectedNode() const
{
    return m_TreeModel.NodeAt(m_View.SelectedItem());
}

void CKvtDocumentSession::SelectItem(const QModelIndex& index)
{
    m_View.SelectItem(index);
}

void CKvtDocumentSession::RefreshGui()
{
    m_View.RefreshGui();
}

bool CKvtDocumentSession::ApplyPendingPanelEdit()
{
    return m_View.ApplyPendingPanelEdit();
}

void CKvtDocumentSession::SetUnmodified()
{
    m_bNeverSaved = false;
    m_UndoStack.setClean();
}

void CKvtDocumentSession::PushStep(QUndoCommand* pStep)
{
    m_UndoStack.push(pStep);
}

std::unique_ptr<CKvtNodeEditStep> CKvtDocumentSession::BeginNodeEdit(CKvtNodeBase* pNode, const QModelIndex& item)
{
    if (!pNode)
        return nullptr;
    return std::make_unique<CKvtNodeEditStep>(*this, pNode, m_TreeModel.PathOf(item));
}

bool CKvtDocumentSession::EndNodeEdit(std::unique_ptr<CKvtNodeEditStep> pStep, const QString& sText)
{
    if (!pStep || !pStep->Finish())
        return false;
    pStep->setText(sText.isEmpty() ? pStep->Describe() : sText);
    PushStep(pStep.release());
    return true;
}

void CKvtDocumentSession::Undo()
{
    Replay(true);
}

void CKvtDocumentSession::Redo()
{
    Replay(false);
}

void CKvtDocumentSession::Replay(bool bUndo)
{
    // A refused text (its message shown) stops the undo as any command.
    if (m_bReplaying || !ApplyPendingPanelEdit())
        return;
    if (bUndo ? m_UndoStack.canUndo() : m_UndoStack.canRedo()) {
        m_bReplaying = true;
        m_StepTarget.clear();
        if (bUndo)
            m_UndoStack.undo();
        else
            m_UndoStack.redo();
        // Selecting the node makes the items on the way to it and expands
        // them; the panel shows the node as it is now.
        const QModelIndex target = m_TreeModel.MakeItemOnPath(m_StepTarget);
        if (target.isValid())
            m_View.SelectItem(target);
        // Shown while still replaying: the page then shows the node's text
        // even where its memo keeps the focus.
        m_View.DisplayNodeData();
        m_bReplaying = false;
    }
    m_View.RefreshGui();
}
