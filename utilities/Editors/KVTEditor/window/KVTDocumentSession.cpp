#include "KVTDocumentSession.h"

#include "KVTSessionView.h"
#include "KVTTreeModel.h"

CKvtDocumentSession::CKvtDocumentSession(CKvtTreeModel& treeModel, IKvtSessionView& view, IKvtDialogs& dialogs)
    : m_TreeModel(treeModel), m_View(view), m_Dialogs(dialogs), m_bModified(false), m_bReadOnly(false),
      m_pLocStrNode(nullptr)
{}

CKvtDocumentSession::~CKvtDocumentSession()
{
    // The model's items point at the nodes, so they go first.
    m_TreeModel.Rebuild(nullptr, m_TreeModel.IsPreview());
    m_pRootNode.reset();
    m_pClipboardNode.reset();
}

void CKvtDocumentSession::StartDocument(const COroString& sFileName, bool bReadOnly)
{
    m_pRootNode = std::make_unique<CKvtNodeTopLevelStruct>();
    m_sFileName = sFileName;
    m_bModified = false;
    m_bReadOnly = bReadOnly;
}

void CKvtDocumentSession::AdoptDocument(std::unique_ptr<CKvtNodeTopLevelStruct> pRoot)
{
    m_pRootNode = std::move(pRoot);
    m_sFileName = COroString();
    m_bModified = true;
    m_bReadOnly = false;
}

void CKvtDocumentSession::CloseDocument()
{
    // As in the destructor: the items before the nodes.
    m_TreeModel.Rebuild(nullptr, m_TreeModel.IsPreview());
    m_pRootNode.reset();
    m_pLocStrNode = nullptr;
    m_sFileName = COroString();
    m_bModified = false;
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
