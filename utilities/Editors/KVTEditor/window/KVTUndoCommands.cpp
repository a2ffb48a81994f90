#include "KVTUndoCommands.h"

#include <algorithm>

#include "KVTDocumentSession.h"
#include "KVTTreeItem.h"
#include "KVTTreeModel.h"

namespace {

QString NodeName(CKvtNodeBase* pNode)
{
    const COroString& sLabel = pNode->m_sLabel;
    return QString::fromLatin1(sLabel.GetLength() > 0 ? sLabel.CStr() : pNode->GetTypeName().CStr());
}

// Whether item is within (or is) the subtree of items under top.
bool IsWithin(QModelIndex item, const QModelIndex& top)
{
    for (; item.isValid(); item = item.parent()) {
        if (item == top)
            return true;
    }
    return false;
}

// Where the selection goes when the item leaves the view: the sibling
// above, else the one below, else the parent (as the view itself would).
QModelIndex NeighbourOf(const QModelIndex& item)
{
    const QModelIndex parent = item.parent();
    const int nRow = item.row();
    if (nRow > 0)
        return item.sibling(nRow - 1, 0);
    if (nRow + 1 < item.model()->rowCount(parent))
        return item.sibling(nRow + 1, 0);
    return parent;
}

} // namespace

CKvtNodeEditStep::CKvtNodeEditStep(CKvtDocumentSession& session, CKvtNodeBase* pNode, TKvtNodePath path)
    : m_Session(session), m_pNode(pNode), m_Path(std::move(path)), m_Before(pNode), m_bValueChanged(false),
      m_bDone(true), m_bAbsorbs(false)
{}

int CKvtNodeEditStep::id() const
{
    // Every edit step shares one id, so that the stack offers each edit to
    // the step before it; only an absorbing step takes it.
    return 1;
}

bool CKvtNodeEditStep::mergeWith(const QUndoCommand* pOther)
{
    const auto* pEdit = static_cast<const CKvtNodeEditStep*>(pOther);
    if (!m_bAbsorbs || pEdit->m_pNode != m_pNode)
        return false;
    m_bAbsorbs = false;
    // The other step's change is made: the node holds the state after both.
    setObsolete(m_Before.Matches(m_pNode));
    KeepAfterState();
    return true;
}

bool CKvtNodeEditStep::Finish()
{
    if (m_Before.Matches(m_pNode))
        return false;
    KeepAfterState();
    return true;
}

void CKvtNodeEditStep::KeepAfterState()
{
    // A value the edit left as it was (a label edit of a large binary value)
    // is kept once at most: by the state before while a later edit may still
    // join the step, else by neither (undo and redo leave it in the node).
    m_bValueChanged = !m_Before.ValueMatches(m_pNode);
    m_pAfter = std::make_unique<CKvtNodeState>(m_pNode, m_bValueChanged);
    if (!m_bValueChanged && !m_bAbsorbs)
        m_Before.LeaveValue();
}

QString CKvtNodeEditStep::Describe() const
{
    if (!m_pAfter)
        return QString();
    CKvtNodeBase* pBefore = m_Before.Copy();
    CKvtNodeBase* pAfter = m_pAfter->Copy();
    const bool bValue = m_bValueChanged;
    const bool bLabel = pBefore->m_sLabel != pAfter->m_sLabel;
    const bool bStructID = pBefore->m_nStructID != pAfter->m_nStructID;
    const bool bIndex = pBefore->m_nIndex != pAfter->m_nIndex;
    const QString sName = NodeName(pAfter);
    if (bValue + bLabel + bStructID + bIndex > 1)
        return QStringLiteral("Edit %1").arg(sName);
    if (bValue && pAfter->GetType() == ftTOPLEVELSTRUCT)
        return QStringLiteral("Edit Type and Version");
    const char* pPart = bValue ? "Value" : bLabel ? "Label" : bStructID ? "Struct ID" : "Index";
    return QStringLiteral("Edit %1 of %2").arg(QLatin1String(pPart), sName);
}

void CKvtNodeEditStep::Show(const CKvtNodeState& state)
{
    state.RestoreTo(m_pNode);
    CKvtTreeModel& model = m_Session.TreeModel();
    QModelIndex item = model.FindItemOnPath(m_Path);
    if (m_Path.empty())
        item = model.FindItem(m_pNode);
    if (item.isValid())
        model.UpdateCaption(item);
    m_Session.SetStepTarget(m_Path);
}

void CKvtNodeEditStep::undo()
{
    Show(m_Before);
}

void CKvtNodeEditStep::redo()
{
    if (m_bDone) {
        m_bDone = false;
        return;
    }
    if (m_pAfter)
        Show(*m_pAfter);
}

CKvtSubtreeMove::CKvtSubtreeMove(CKvtDocumentSession& session, TKvtNodePath parentPath, CKvtNodeBase* pNode,
                                 int32_t nChildIndex, const QString& sText)
    : QUndoCommand(sText), m_Session(session), m_ParentPath(std::move(parentPath)), m_pNode(pNode), m_bDone(true),
      m_nChildIndex(nChildIndex), m_nItemRow(0), m_nGeneration(0)
{}

// Out of line: the items' class is complete here.
CKvtSubtreeMove::~CKvtSubtreeMove() = default;

TKvtNodePath CKvtSubtreeMove::NodePath() const
{
    TKvtNodePath path = m_ParentPath;
    path.push_back(m_pNode);
    return path;
}

void CKvtSubtreeMove::Detach()
{
    CKvtNodeStruct* pParent = m_ParentPath.empty() ? nullptr : m_ParentPath.back()->GetStructNode();
    if (!pParent || m_pDetached || pParent->IndexOfChild(m_pNode) < 0)
        return;
    CKvtTreeModel& model = m_Session.TreeModel();
    const QModelIndex item = model.FindItemOnPath(NodePath());
    if (item.isValid()) {
        // Moving the selection applies the panel to the node being left
        // while it still exists (nothing is applied while a step replays).
        if (IsWithin(m_Session.SelectedItem(), item))
            m_Session.SelectItem(NeighbourOf(item));
        m_nItemRow = item.row();
        m_nGeneration = model.Generation();
        m_pItem = model.TakeItem(item);
    }
    if (m_Session.LocStrNode() == m_pNode)
        m_Session.SetLocStrNode(nullptr);
    pParent->RemoveChild(m_pNode);
    m_pDetached.reset(m_pNode);
}

void CKvtSubtreeMove::Attach()
{
    CKvtNodeStruct* pParent = m_ParentPath.empty() ? nullptr : m_ParentPath.back()->GetStructNode();
    if (!pParent || !m_pDetached)
        return;
    pParent->InsertChild(std::clamp(m_nChildIndex, 0, pParent->GetChildCount()), m_pDetached.release());
    CKvtTreeModel& model = m_Session.TreeModel();
    const QModelIndex parentItem = model.FindItemOnPath(m_ParentPath);
    if (parentItem.isValid()) {
        if (m_pItem && m_nGeneration == model.Generation())
            model.InsertItem(parentItem, m_nItemRow, std::move(m_pItem));
        else
            model.InsertNodeItem(parentItem, model.rowCount(parentItem), m_pNode);
    }
    m_pItem.reset();
}

void CKvtInsertNodeStep::undo()
{
    Detach();
    m_Session.SetStepTarget(m_ParentPath);
}

void CKvtInsertNodeStep::redo()
{
    if (m_bDone) {
        m_bDone = false;
        return;
    }
    Attach();
    m_Session.SetStepTarget(NodePath());
}

void CKvtDeleteNodeStep::undo()
{
    Attach();
    m_Session.SetStepTarget(NodePath());
}

void CKvtDeleteNodeStep::redo()
{
    if (m_bDone) {
        m_bDone = false;
        return;
    }
    Detach();
    m_Session.SetStepTarget(m_ParentPath);
}
