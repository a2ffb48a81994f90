#pragma once
// The tree view's model over the document. The document owns the nodes; the
// model owns the items that show them. A rebuild shows the root alone; each
// parent's children are made and sorted by caption when the view (or a
// command) first needs them, so opening a huge document costs the load, not
// one item per node. Items added later are appended after their siblings
// and stay there until the next rebuild; a subtree added with an item keeps
// the document's order, as it is not sorted until the next rebuild either.

#include <QAbstractItemModel>
#include <memory>
#include <unordered_map>
#include <vector>

#include "KVTTreeNodes.h"
#include "orostring.h"

class CKvtTreeItem;

class CKvtTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit CKvtTreeModel(QObject* pParent = nullptr);
    ~CKvtTreeModel() override;

    // Qt's model interface: one column, captions as the display text.
    QModelIndex index(int nRow, int nColumn, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Replaces every item: the root alone (its children follow on demand),
    // or nothing when pRoot is null. Captions carry values when bPreview;
    // children show in the document's order when bFileOrder, else sorted.
    void Rebuild(CKvtNodeTopLevelStruct* pRoot, bool bPreview, bool bFileOrder = false);
    // The Preview setting of the last rebuild; new captions use it too.
    bool IsPreview() const { return m_bPreview; }
    bool IsFileOrder() const { return m_bFileOrder; }
    // For every item whose children have been made: its node and the
    // children's nodes in the order shown.
    std::unordered_map<const CKvtNodeBase*, std::vector<CKvtNodeBase*>> ShownChildren() const;

    // The one top-level item, or an invalid index without a document.
    QModelIndex RootIndex() const;
    // The node an item shows; null for an invalid index.
    CKvtNodeBase* NodeAt(const QModelIndex& index) const;
    // The node of the item's parent item; null for the root item.
    CKvtNodeBase* ParentNodeAt(const QModelIndex& index) const;
    COroString CaptionAt(const QModelIndex& index) const;
    // The caption's length in bytes (0 for an invalid index), without a copy.
    int32_t CaptionLengthAt(const QModelIndex& index) const;

    // Makes the item's children now if they have not been made yet.
    void EnsureChildren(const QModelIndex& parent);
    // The item's children, made first when needed.
    int ChildItemCount(const QModelIndex& parent);
    QModelIndex ChildItem(const QModelIndex& parent, int nRow);
    // The child item of parent that shows pNode (children made first), or
    // an invalid index.
    QModelIndex FindChildItem(const QModelIndex& parent, const CKvtNodeBase* pNode);
    // The item that shows pNode among the items made so far, or invalid.
    QModelIndex FindItem(const CKvtNodeBase* pNode) const;

    // Appends an item for pNode as the last child of parent and returns it.
    // pNode must already be the parent node's child; the parent's other
    // children are made first (in their order) so that pNode ends up last.
    // A container's own children appear in document order when expanded.
    QModelIndex AppendChild(const QModelIndex& parent, CKvtNodeBase* pNode);
    // Removes the item with its sub-items (the nodes are left alone).
    bool RemoveItem(const QModelIndex& index);
    // Removes the item with its sub-items and hands them over, so that an
    // undo step can put them back as they were (see InsertItem).
    std::unique_ptr<CKvtTreeItem> TakeItem(const QModelIndex& index);
    // Puts an item taken earlier back under parent at nRow (clamped to the
    // children made). Only under a parent whose children have been made:
    // otherwise they appear when it is expanded, and the item is dropped.
    QModelIndex InsertItem(const QModelIndex& parent, int nRow, std::unique_ptr<CKvtTreeItem> pItem);
    // The same with a fresh item for pNode, whose children come on demand.
    QModelIndex InsertNodeItem(const QModelIndex& parent, int nRow, CKvtNodeBase* pNode);
    // Counts the rebuilds: items taken before the last one show captions and
    // children of another view and cannot be put back.
    uint64_t Generation() const { return m_nGeneration; }

    // The item that shows the last node of the path (root first, each node
    // a child of the one before), among the items made so far; invalid when
    // one on the way has no item.
    QModelIndex FindItemOnPath(const std::vector<CKvtNodeBase*>& path) const;
    // The same, making the children on the way where needed.
    QModelIndex MakeItemOnPath(const std::vector<CKvtNodeBase*>& path);
    // The nodes from the root item down to the item's node.
    std::vector<CKvtNodeBase*> PathOf(const QModelIndex& index) const;
    // Re-captions the item from its node (GetNodeCaption with the current
    // Preview setting).
    void UpdateCaption(const QModelIndex& index);
    void SetCaption(const QModelIndex& index, const COroString& sCaption);

    // Number of items made so far (the root included).
    int64_t ItemCount() const;

private:
    CKvtTreeItem* ItemAt(const QModelIndex& index) const;
    QModelIndex IndexOf(CKvtTreeItem* pItem) const;
    void Fetch(const QModelIndex& parent, const CKvtNodeBase* pExcluded);

    CKvtTreeItem* m_pRootItem;
    bool m_bPreview;
    bool m_bFileOrder = false;
    uint64_t m_nGeneration;
};
