#include "TreeMirrorCheck.h"

#include <set>
#include <vector>

#include "KVTCaption.h"

namespace {

std::string Describe(CKvtNodeBase* pNode)
{
    return "node '" + std::string(pNode->m_sLabel.CStr()) + "' (type " + std::to_string(pNode->GetType()) + ")";
}

class CMirrorWalk {
public:
    CMirrorWalk(CKvtTreeModel& model) : m_Model(model) {}

    std::string Run(CKvtNodeTopLevelStruct* pRoot)
    {
        const int nTopRows = m_Model.rowCount(QModelIndex());
        if (!pRoot)
            return nTopRows == 0 ? std::string() : "items are shown without a document";
        if (nTopRows != 1)
            return "the view has " + std::to_string(nTopRows) + " top-level items, not one";
        const QModelIndex root = m_Model.index(0, 0);
        if (root != m_Model.RootIndex() || m_Model.NodeAt(root) != pRoot)
            return "the top-level item does not show the root";
        if (m_Model.parent(root).isValid())
            return "the root item has a parent";
        std::vector<QModelIndex> pending{root};
        while (!pending.empty()) {
            const QModelIndex item = pending.back();
            pending.pop_back();
            std::string sFault = CheckItem(item, pending);
            if (!sFault.empty())
                return sFault;
        }
        return std::string();
    }

private:
    std::string CheckItem(const QModelIndex& item, std::vector<QModelIndex>& pending)
    {
        CKvtNodeBase* pNode = m_Model.NodeAt(item);
        if (!pNode)
            return "an item shows no node";
        if (!m_Shown.insert(pNode).second)
            return Describe(pNode) + " is shown by two items";
        const COroString sCaption = GetNodeCaption(pNode, m_Model.IsPreview());
        if (m_Model.data(item).toString() != QString::fromLatin1(sCaption.CStr()))
            return Describe(pNode) + " is captioned '" + m_Model.data(item).toString().toStdString() + "', not '" +
                   sCaption.CStr() + "'";

        CKvtNodeStruct* pStruct = pNode->GetStructNode();
        const int32_t nChildren = pStruct ? pStruct->GetChildCount() : 0;
        const int nRows = m_Model.rowCount(item);
        if (m_Model.hasChildren(item) != (nChildren > 0))
            return Describe(pNode) + ": the item's children marker disagrees with its " + std::to_string(nChildren) +
                   " children";
        if (m_Model.canFetchMore(item)) {
            // Not made yet: nothing may be shown for them so far.
            return nRows == 0 ? std::string() : Describe(pNode) + " shows items before its children were made";
        }
        if (nRows != nChildren)
            return Describe(pNode) + " has " + std::to_string(nChildren) + " children but " + std::to_string(nRows) +
                   " items";
        std::set<CKvtNodeBase*> children;
        for (int32_t i = 0; i < nChildren; ++i)
            children.insert(pStruct->GetChild(i));
        for (int nRow = 0; nRow < nRows; ++nRow) {
            const QModelIndex child = m_Model.index(nRow, 0, item);
            if (m_Model.parent(child) != item)
                return Describe(pNode) + ": a child item names another parent";
            if (m_Model.ParentNodeAt(child) != pNode)
                return Describe(pNode) + ": a child item's parent node is another";
            if (children.erase(m_Model.NodeAt(child)) != 1)
                return Describe(pNode) + ": an item under it shows a node that is not its child";
            pending.push_back(child);
        }
        return std::string();
    }

    CKvtTreeModel& m_Model;
    std::set<CKvtNodeBase*> m_Shown;
};

} // namespace

std::string FindTreeMirrorFault(CKvtTreeModel& model, CKvtNodeTopLevelStruct* pRoot)
{
    return CMirrorWalk(model).Run(pRoot);
}
