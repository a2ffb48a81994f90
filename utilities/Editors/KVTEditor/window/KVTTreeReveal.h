#pragma once
// Between nodes and the tree view's items: the chain of nodes an item shows
// from the root down, and the item of a chain, made and expanded on the way
// so that it can be selected and seen.

#include <QModelIndex>
#include <vector>

#include "KVTTreeNodes.h"

class CKvtTreeModel;
class QTreeView;

// The nodes from the root item's to the item's (empty for an invalid index).
std::vector<CKvtNodeBase*> GetItemChain(const CKvtTreeModel& model, const QModelIndex& index);
// The item showing the chain's last node, every item above it expanded;
// invalid when the chain does not match the items.
QModelIndex RevealChain(CKvtTreeModel& model, QTreeView& tree, const std::vector<CKvtNodeBase*>& chain);
