#include "KVTTreeReveal.h"

#include <QTreeView>
#include <algorithm>

#include "KVTTreeModel.h"

std::vector<CKvtNodeBase*> GetItemChain(const CKvtTreeModel& model, const QModelIndex& index)
{
    std::vector<CKvtNodeBase*> chain;
    for (QModelIndex item = index; item.isValid(); item = model.parent(item))
        chain.push_back(model.NodeAt(item));
    std::reverse(chain.begin(), chain.end());
    return chain;
}

QModelIndex RevealChain(CKvtTreeModel& model, QTreeView& tree, const std::vector<CKvtNodeBase*>& chain)
{
    QModelIndex item = model.RootIndex();
    if (chain.empty() || model.NodeAt(item) != chain.front())
        return QModelIndex();
    std::vector<QModelIndex> above;
    for (size_t i = 1; i < chain.size() && item.isValid(); ++i) {
        above.push_back(item);
        item = model.FindChildItem(item, chain[i]);
    }
    if (!item.isValid())
        return QModelIndex();
    for (const QModelIndex& parent : above)
        tree.expand(parent);
    return item;
}
