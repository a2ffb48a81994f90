#pragma once
// One item of the tree view: the node it shows, its parent item and its
// caption. Children are made only when first needed (a million-node document
// then costs one item until the user expands it). The item, not the node,
// knows the parent, so commands find a node's parent through its item.

#include <cstdint>
#include <utility>
#include <vector>

#include "KVTTreeNodes.h"
#include "orostring.h"

class CKvtTreeItem {
public:
    // How the children are ordered when they are made: by caption (what a
    // rebuild shows) or as the document holds them (what appears under a
    // subtree pasted in, until the next rebuild).
    enum class TChildOrder { Sorted, Document };

    CKvtTreeItem(CKvtNodeBase* pNode, CKvtTreeItem* pParent, COroString sCaption, TChildOrder nOrder);
    // Deletes the whole subtree of items without recursion, so that a tree as
    // deep as the user can make it cannot exhaust the stack.
    ~CKvtTreeItem();
    CKvtTreeItem(const CKvtTreeItem&) = delete;
    CKvtTreeItem& operator=(const CKvtTreeItem&) = delete;

    CKvtNodeBase* Node() const { return m_pNode; }
    CKvtTreeItem* Parent() const { return m_pParent; }
    const COroString& Caption() const { return m_sCaption; }
    void SetCaption(const COroString& sCaption) { m_sCaption = sCaption; }
    // Position among the parent's children.
    int32_t Row() const { return m_nRow; }
    TChildOrder ChildOrder() const { return m_nOrder; }

    // The children made so far.
    int32_t ChildCount() const { return static_cast<int32_t>(m_Children.size()); }
    CKvtTreeItem* Child(int32_t nRow) const;

    bool IsFetched() const { return m_bFetched; }
    // The node has children that have no items yet.
    bool HasUnfetchedChildren();
    // Items for the node's children, in this item's order, leaving out
    // pExcluded; not attached yet (the model announces them first).
    std::vector<CKvtTreeItem*> CreateChildren(bool bPreview, const CKvtNodeBase* pExcluded);
    // Takes the items made by CreateChildren; the children count as made.
    void AttachChildren(std::vector<CKvtTreeItem*> children);
    void MarkFetched() { m_bFetched = true; }

    void AppendChild(CKvtTreeItem* pChild);
    // Puts the child at nRow (0 to the child count) and renumbers the rest.
    void InsertChild(int32_t nRow, CKvtTreeItem* pChild);
    // Detaches the child at nRow (the caller owns it) and renumbers the rest.
    CKvtTreeItem* TakeChild(int32_t nRow);

private:
    CKvtNodeBase* m_pNode;
    CKvtTreeItem* m_pParent;
    COroString m_sCaption;
    int32_t m_nRow;
    TChildOrder m_nOrder;
    bool m_bFetched;
    std::vector<CKvtTreeItem*> m_Children;
};
