#include "KVTTreeModel.h"

#include <algorithm>
#include <vector>

#include "KVTCaption.h"
#include "KVTTreeItem.h"

CKvtTreeModel::CKvtTreeModel(QObject* pParent)
    : QAbstractItemModel(pParent), m_pRootItem(nullptr), m_bPreview(true), m_nGeneration(0)
{}

CKvtTreeModel::~CKvtTreeModel()
{
    delete m_pRootItem;
}

CKvtTreeItem* CKvtTreeModel::ItemAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<CKvtTreeItem*>(index.internalPointer());
}

QModelIndex CKvtTreeModel::IndexOf(CKvtTreeItem* pItem) const
{
    if (!pItem)
        return QModelIndex();
    return createIndex(pItem->Row(), 0, pItem);
}

QModelIndex CKvtTreeModel::index(int nRow, int nColumn, const QModelIndex& parent) const
{
    if (nColumn != 0 || nRow < 0)
        return QModelIndex();
    if (!parent.isValid())
        return nRow == 0 && m_pRootItem ? IndexOf(m_pRootItem) : QModelIndex();
    CKvtTreeItem* pParent = ItemAt(parent);
    return pParent ? IndexOf(pParent->Child(nRow)) : QModelIndex();
}

QModelIndex CKvtTreeModel::parent(const QModelIndex& child) const
{
    CKvtTreeItem* pItem = ItemAt(child);
    return pItem ? IndexOf(pItem->Parent()) : QModelIndex();
}

int CKvtTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_pRootItem ? 1 : 0;
    if (parent.column() != 0)
        return 0;
    CKvtTreeItem* pItem = ItemAt(parent);
    return pItem ? pItem->ChildCount() : 0;
}

int CKvtTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant CKvtTreeModel::data(const QModelIndex& index, int nRole) const
{
    CKvtTreeItem* pItem = ItemAt(index);
    if (!pItem || nRole != Qt::DisplayRole)
        return QVariant();
    // Captions are single-byte document text; Latin-1 shows every byte as
    // one character, so the padded columns still line up.
    return QString::fromLatin1(pItem->Caption().CStr());
}

Qt::ItemFlags CKvtTreeModel::flags(const QModelIndex& index) const
{
    CKvtTreeItem* pItem = ItemAt(index);
    if (!pItem)
        return Qt::NoItemFlags;
    Qt::ItemFlags nFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!pItem->Node()->GetStructNode())
        nFlags |= Qt::ItemNeverHasChildren;
    return nFlags;
}

bool CKvtTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_pRootItem != nullptr;
    CKvtTreeItem* pItem = ItemAt(parent);
    if (!pItem)
        return false;
    return pItem->IsFetched() ? pItem->ChildCount() > 0 : pItem->HasUnfetchedChildren();
}

bool CKvtTreeModel::canFetchMore(const QModelIndex& parent) const
{
    CKvtTreeItem* pItem = ItemAt(parent);
    return pItem && !pItem->IsFetched();
}

void CKvtTreeModel::fetchMore(const QModelIndex& parent)
{
    Fetch(parent, nullptr);
}

void CKvtTreeModel::Fetch(const QModelIndex& parent, const CKvtNodeBase* pExcluded)
{
    CKvtTreeItem* pItem = ItemAt(parent);
    if (!pItem || pItem->IsFetched())
        return;
    std::vector<CKvtTreeItem*> children = pItem->CreateChildren(m_bPreview, pExcluded);
    if (children.empty()) {
        pItem->MarkFetched();
        return;
    }
    beginInsertRows(parent, 0, static_cast<int>(children.size()) - 1);
    pItem->AttachChildren(std::move(children));
    endInsertRows();
}

void CKvtTreeModel::Rebuild(CKvtNodeTopLevelStruct* pRoot, bool bPreview, bool bFileOrder)
{
    beginResetModel();
    ++m_nGeneration;
    delete m_pRootItem;
    m_pRootItem = nullptr;
    m_bPreview = bPreview;
    m_bFileOrder = bFileOrder;
    // Items pass their order on to the children they make.
    const auto nOrder = bFileOrder ? CKvtTreeItem::TChildOrder::Document : CKvtTreeItem::TChildOrder::Sorted;
    if (pRoot)
        m_pRootItem = new CKvtTreeItem(pRoot, nullptr, GetNodeCaption(pRoot, bPreview), nOrder);
    endResetModel();
}

std::unordered_map<const CKvtNodeBase*, std::vector<CKvtNodeBase*>> CKvtTreeModel::ShownChildren() const
{
    std::unordered_map<const CKvtNodeBase*, std::vector<CKvtNodeBase*>> shown;
    std::vector<CKvtTreeItem*> pending;
    if (m_pRootItem)
        pending.push_back(m_pRootItem);
    while (!pending.empty()) {
        CKvtTreeItem* pItem = pending.back();
        pending.pop_back();
        if (!pItem->IsFetched())
            continue;
        std::vector<CKvtNodeBase*>& children = shown[pItem->Node()];
        for (int32_t i = 0; i < pItem->ChildCount(); ++i) {
            children.push_back(pItem->Child(i)->Node());
            pending.push_back(pItem->Child(i));
        }
    }
    return shown;
}

QModelIndex CKvtTreeModel::RootIndex() const
{
    return IndexOf(m_pRootItem);
}

CKvtNodeBase* CKvtTreeModel::NodeAt(const QModelIndex& index) const
{
    CKvtTreeItem* pItem = ItemAt(index);
    return pItem ? pItem->Node() : nullptr;
}

CKvtNodeBase* CKvtTreeModel::ParentNodeAt(const QModelIndex& index) const
{
    CKvtTreeItem* pItem = ItemAt(index);
    return pItem && pItem->Parent() ? pItem->Parent()->Node() : nullptr;
}

COroString CKvtTreeModel::CaptionAt(const QModelIndex& index) const
{
    CKvtTreeItem* pItem = ItemAt(index);
    return pItem ? pItem->Caption() : COroString();
}

int32_t CKvtTreeModel::CaptionLengthAt(const QModelIndex& index) const
{
    CKvtTreeItem* pItem = ItemAt(index);
    return pItem ? pItem->Caption().GetLength() : 0;
}

void CKvtTreeModel::EnsureChildren(const QModelIndex& parent)
{
    Fetch(parent, nullptr);
}

int CKvtTreeModel::ChildItemCount(const QModelIndex& parent)
{
    EnsureChildren(parent);
    return rowCount(parent);
}

QModelIndex CKvtTreeModel::ChildItem(const QModelIndex& parent, int nRow)
{
    EnsureChildren(parent);
    return index(nRow, 0, parent);
}

QModelIndex CKvtTreeModel::FindChildItem(const QModelIndex& parent, const CKvtNodeBase* pNode)
{
    EnsureChildren(parent);
    CKvtTreeItem* pParent = ItemAt(parent);
    if (!pParent)
        return QModelIndex();
    for (int32_t i = 0; i < pParent->ChildCount(); ++i) {
        if (pParent->Child(i)->Node() == pNode)
            return IndexOf(pParent->Child(i));
    }
    return QModelIndex();
}

QModelIndex CKvtTreeModel::FindItem(const CKvtNodeBase* pNode) const
{
    std::vector<CKvtTreeItem*> pending;
    if (m_pRootItem)
        pending.push_back(m_pRootItem);
    while (!pending.empty()) {
        CKvtTreeItem* pItem = pending.back();
        pending.pop_back();
        if (pItem->Node() == pNode)
            return IndexOf(pItem);
        for (int32_t i = pItem->ChildCount() - 1; i >= 0; --i)
            pending.push_back(pItem->Child(i));
    }
    return QModelIndex();
}

QModelIndex CKvtTreeModel::AppendChild(const QModelIndex& parent, CKvtNodeBase* pNode)
{
    CKvtTreeItem* pParent = ItemAt(parent);
    if (!pParent || !pNode)
        return QModelIndex();
    // The siblings that were there before keep the order they would have
    // had; only the new node goes last.
    Fetch(parent, pNode);
    auto* pItem =
        new CKvtTreeItem(pNode, pParent, GetNodeCaption(pNode, m_bPreview), CKvtTreeItem::TChildOrder::Document);
    const int nRow = pParent->ChildCount();
    beginInsertRows(parent, nRow, nRow);
    pParent->AppendChild(pItem);
    endInsertRows();
    return IndexOf(pItem);
}

bool CKvtTreeModel::RemoveItem(const QModelIndex& index)
{
    CKvtTreeItem* pItem = ItemAt(index);
    if (!pItem)
        return false;
    CKvtTreeItem* pParent = pItem->Parent();
    const int nRow = pItem->Row();
    beginRemoveRows(IndexOf(pParent), nRow, nRow);
    if (pParent)
        pParent->TakeChild(nRow);
    else
        m_pRootItem = nullptr;
    endRemoveRows();
    delete pItem;
    return true;
}

std::unique_ptr<CKvtTreeItem> CKvtTreeModel::TakeItem(const QModelIndex& index)
{
    CKvtTreeItem* pItem = ItemAt(index);
    if (!pItem || !pItem->Parent())
        return nullptr;
    CKvtTreeItem* pParent = pItem->Parent();
    const int nRow = pItem->Row();
    beginRemoveRows(IndexOf(pParent), nRow, nRow);
    pParent->TakeChild(nRow);
    endRemoveRows();
    return std::unique_ptr<CKvtTreeItem>(pItem);
}

QModelIndex CKvtTreeModel::InsertItem(const QModelIndex& parent, int nRow, std::unique_ptr<CKvtTreeItem> pItem)
{
    CKvtTreeItem* pParent = ItemAt(parent);
    if (!pParent || !pItem || !pParent->IsFetched())
        return QModelIndex();
    const int nAt = std::clamp(nRow, 0, pParent->ChildCount());
    beginInsertRows(parent, nAt, nAt);
    CKvtTreeItem* pInserted = pItem.release();
    pParent->InsertChild(nAt, pInserted);
    endInsertRows();
    return IndexOf(pInserted);
}

QModelIndex CKvtTreeModel::InsertNodeItem(const QModelIndex& parent, int nRow, CKvtNodeBase* pNode)
{
    if (!pNode)
        return QModelIndex();
    return InsertItem(parent, nRow,
                      std::make_unique<CKvtTreeItem>(pNode, nullptr, GetNodeCaption(pNode, m_bPreview),
                                                     CKvtTreeItem::TChildOrder::Sorted));
}

QModelIndex CKvtTreeModel::FindItemOnPath(const std::vector<CKvtNodeBase*>& path) const
{
    if (path.empty() || !m_pRootItem || m_pRootItem->Node() != path.front())
        return QModelIndex();
    CKvtTreeItem* pItem = m_pRootItem;
    for (size_t nStep = 1; nStep < path.size() && pItem; ++nStep) {
        CKvtTreeItem* pFound = nullptr;
        for (int32_t i = 0; i < pItem->ChildCount() && !pFound; ++i) {
            if (pItem->Child(i)->Node() == path[nStep])
                pFound = pItem->Child(i);
        }
        pItem = pFound;
    }
    return IndexOf(pItem);
}

QModelIndex CKvtTreeModel::MakeItemOnPath(const std::vector<CKvtNodeBase*>& path)
{
    QModelIndex item = RootIndex();
    if (path.empty() || NodeAt(item) != path.front())
        return QModelIndex();
    for (size_t nStep = 1; nStep < path.size() && item.isValid(); ++nStep)
        item = FindChildItem(item, path[nStep]);
    return item;
}

std::vector<CKvtNodeBase*> CKvtTreeModel::PathOf(const QModelIndex& index) const
{
    std::vector<CKvtNodeBase*> path;
    for (CKvtTreeItem* pItem = ItemAt(index); pItem; pItem = pItem->Parent())
        path.push_back(pItem->Node());
    return std::vector<CKvtNodeBase*>(path.rbegin(), path.rend());
}

void CKvtTreeModel::UpdateCaption(const QModelIndex& index)
{
    CKvtTreeItem* pItem = ItemAt(index);
    if (pItem)
        SetCaption(index, GetNodeCaption(pItem->Node(), m_bPreview));
}

void CKvtTreeModel::SetCaption(const QModelIndex& index, const COroString& sCaption)
{
    CKvtTreeItem* pItem = ItemAt(index);
    if (!pItem)
        return;
    pItem->SetCaption(sCaption);
    emit dataChanged(index, index, {Qt::DisplayRole});
}

int64_t CKvtTreeModel::ItemCount() const
{
    int64_t nCount = 0;
    std::vector<CKvtTreeItem*> pending;
    if (m_pRootItem)
        pending.push_back(m_pRootItem);
    while (!pending.empty()) {
        CKvtTreeItem* pItem = pending.back();
        pending.pop_back();
        ++nCount;
        for (int32_t i = 0; i < pItem->ChildCount(); ++i)
            pending.push_back(pItem->Child(i));
    }
    return nCount;
}
