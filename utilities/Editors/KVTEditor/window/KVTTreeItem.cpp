#include "KVTTreeItem.h"

#include "KVTCaption.h"
#include "orobase.h"

CKvtTreeItem::CKvtTreeItem(CKvtNodeBase* pNode, CKvtTreeItem* pParent, COroString sCaption, TChildOrder nOrder)
    : m_pNode(pNode), m_pParent(pParent), m_sCaption(std::move(sCaption)), m_nRow(0), m_nOrder(nOrder),
      m_bFetched(false)
{}

CKvtTreeItem::~CKvtTreeItem()
{
    // Children are moved onto an explicit stack and deleted once their own
    // children have been moved off them, so no destructor ever recurses.
    std::vector<CKvtTreeItem*> pending;
    pending.swap(m_Children);
    while (!pending.empty()) {
        CKvtTreeItem* pItem = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), pItem->m_Children.begin(), pItem->m_Children.end());
        pItem->m_Children.clear();
        delete pItem;
    }
}

CKvtTreeItem* CKvtTreeItem::Child(int32_t nRow) const
{
    if (nRow < 0 || nRow >= ChildCount())
        return nullptr;
    return m_Children[static_cast<size_t>(nRow)];
}

bool CKvtTreeItem::HasUnfetchedChildren()
{
    if (m_bFetched || !m_pNode)
        return false;
    CKvtNodeStruct* pStruct = m_pNode->GetStructNode();
    return pStruct && pStruct->GetChildCount() > 0;
}

std::vector<CKvtTreeItem*> CKvtTreeItem::CreateChildren(bool bPreview, const CKvtNodeBase* pExcluded)
{
    std::vector<CKvtTreeItem*> items;
    CKvtNodeStruct* pStruct = m_pNode ? m_pNode->GetStructNode() : nullptr;
    if (m_bFetched || !pStruct)
        return items;
    const int32_t nCount = pStruct->GetChildCount();
    // A document built by the load walk and the node commands never holds a
    // null child; one would mean the tree is broken beyond repair.
    for (int32_t i = 0; i < nCount; ++i) {
        if (!pStruct->GetChild(i))
            OroAssert("KVTTreeItem.cpp", __LINE__, "pChild");
    }
    items.reserve(static_cast<size_t>(nCount));
    if (m_nOrder == TChildOrder::Sorted) {
        for (KvtCaptionedNode_st& child : GetSortedChildren(pStruct, bPreview)) {
            if (child.pNode != pExcluded)
                items.push_back(new CKvtTreeItem(child.pNode, this, std::move(child.sCaption), TChildOrder::Sorted));
        }
    } else {
        for (int32_t i = 0; i < nCount; ++i) {
            CKvtNodeBase* pChild = pStruct->GetChild(i);
            if (pChild != pExcluded)
                items.push_back(
                    new CKvtTreeItem(pChild, this, GetNodeCaption(pChild, bPreview), TChildOrder::Document));
        }
    }
    return items;
}

void CKvtTreeItem::AttachChildren(std::vector<CKvtTreeItem*> children)
{
    m_bFetched = true;
    for (CKvtTreeItem* pChild : children)
        AppendChild(pChild);
}

void CKvtTreeItem::AppendChild(CKvtTreeItem* pChild)
{
    pChild->m_pParent = this;
    pChild->m_nRow = ChildCount();
    m_Children.push_back(pChild);
}

void CKvtTreeItem::InsertChild(int32_t nRow, CKvtTreeItem* pChild)
{
    pChild->m_pParent = this;
    m_Children.insert(m_Children.begin() + nRow, pChild);
    for (int32_t i = nRow; i < ChildCount(); ++i)
        m_Children[static_cast<size_t>(i)]->m_nRow = i;
}

CKvtTreeItem* CKvtTreeItem::TakeChild(int32_t nRow)
{
    CKvtTreeItem* pChild = Child(nRow);
    if (!pChild)
        return nullptr;
    m_Children.erase(m_Children.begin() + nRow);
    for (int32_t i = nRow; i < ChildCount(); ++i)
        m_Children[static_cast<size_t>(i)]->m_nRow = i;
    pChild->m_pParent = nullptr;
    return pChild;
}
