#include "KVTViewOrderWalk.h"

#include "KVTTreeModel.h"

CKvtViewOrderWalk::CKvtViewOrderWalk(const CKvtTreeModel& model)
    : CKvtPathWalk(model.IsFileOrder() ? TKvtChildOrder::File : TKvtChildOrder::Caption, model.IsPreview()),
      m_Shown(model.ShownChildren())
{}

std::vector<int32_t> CKvtViewOrderWalk::OrderChildren(CKvtNodeStruct* pParent)
{
    const auto it = m_Shown.find(pParent);
    if (it == m_Shown.end())
        return CKvtPathWalk::OrderChildren(pParent);
    const int32_t nCount = pParent->GetChildCount();
    std::unordered_map<const CKvtNodeBase*, int32_t> positions;
    positions.reserve(static_cast<size_t>(nCount));
    for (int32_t i = 0; i < nCount; ++i)
        positions.emplace(pParent->GetChild(i), i);
    std::vector<int32_t> order;
    order.reserve(static_cast<size_t>(nCount));
    for (const CKvtNodeBase* pShown : it->second) {
        const auto found = positions.find(pShown);
        if (found == positions.end())
            continue;
        order.push_back(found->second);
        positions.erase(found);
    }
    // Children without an item (none, while items mirror the document) come last.
    for (int32_t i = 0; i < nCount && !positions.empty(); ++i) {
        if (positions.erase(pParent->GetChild(i)))
            order.push_back(i);
    }
    return order;
}
