#include "KVTBinaryEditStep.h"

#include "KVTBinarySplice.h"
#include "KVTDocumentSession.h"
#include "KVTTreeModel.h"

namespace {

// Apart from the node edit steps (id 1), which offer themselves to each other.
constexpr int kBinaryEditStepId = 2;

} // namespace

CKvtBinaryEditStep::CKvtBinaryEditStep(CKvtDocumentSession& session, CKvtNodeBINARY* pNode,
                                       std::vector<CKvtNodeBase*> path, uint32_t nOffset,
                                       std::vector<uint8_t> removed, std::vector<uint8_t> inserted,
                                       std::function<void(CKvtNodeBINARY*, uint64_t)> onShown)
    : m_Session(session), m_pNode(pNode), m_Path(std::move(path)), m_nOffset(nOffset), m_Removed(std::move(removed)),
      m_Inserted(std::move(inserted)), m_OnShown(std::move(onShown)), m_bDone(true), m_bJoinsNext(false), m_bCompletes(false)
{}

int CKvtBinaryEditStep::id() const
{
    return kBinaryEditStepId;
}

bool CKvtBinaryEditStep::mergeWith(const QUndoCommand* pOther)
{
    const auto* pNext = static_cast<const CKvtBinaryEditStep*>(pOther);
    if (!m_bJoinsNext || !pNext->m_bCompletes || pNext->m_pNode != m_pNode || pNext->m_nOffset != m_nOffset ||
        pNext->m_Removed != m_Inserted)
        return false;
    m_bJoinsNext = false;
    m_Inserted = pNext->m_Inserted;
    // Typing a byte's own digits again leaves nothing to undo.
    setObsolete(m_Removed == m_Inserted);
    return true;
}

void CKvtBinaryEditStep::Replace(const std::vector<uint8_t>& from, const std::vector<uint8_t>& to)
{
    // The lengths were checked when the step was made, and the document
    // has the same shape whenever the step is replayed.
    SpliceBinaryValue(*m_pNode, m_nOffset, static_cast<uint32_t>(from.size()), to.data(),
                      static_cast<uint32_t>(to.size()));
    CKvtTreeModel& model = m_Session.TreeModel();
    const QModelIndex item = model.FindItemOnPath(m_Path);
    if (item.isValid())
        model.UpdateCaption(item);
    m_Session.SetStepTarget(m_Path);
    if (m_OnShown)
        m_OnShown(m_pNode, m_nOffset);
}

void CKvtBinaryEditStep::undo()
{
    m_bJoinsNext = false;
    Replace(m_Inserted, m_Removed);
}

void CKvtBinaryEditStep::redo()
{
    if (m_bDone) {
        m_bDone = false;
        return;
    }
    Replace(m_Removed, m_Inserted);
}
