#pragma once
// The walk in the order the tree view shows the nodes: where a parent's
// items have been made, their order (items added since the last rebuild come
// last); elsewhere the order the view would make them in.

#include <unordered_map>
#include <vector>

#include "KVTPathWalk.h"

class CKvtTreeModel;

class CKvtViewOrderWalk : public CKvtPathWalk {
public:
    // Takes the model's made items now; the model may change afterwards.
    explicit CKvtViewOrderWalk(const CKvtTreeModel& model);

protected:
    std::vector<int32_t> OrderChildren(CKvtNodeStruct* pParent) override;

private:
    std::unordered_map<const CKvtNodeBase*, std::vector<CKvtNodeBase*>> m_Shown;
};
