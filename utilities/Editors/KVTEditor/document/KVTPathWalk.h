#pragma once
// A walk over a document in the order a reader sees it: depth first, each
// struct's children sorted by caption (the export's order) or in file order,
// with every node's path built on the way. No recursion, so the deepest tree
// a user can make is safe.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "KVTTreeNodes.h"

enum class TKvtChildOrder { Caption, File };

// What the visitor wants next.
enum class TKvtWalkStep { Continue, SkipChildren, Stop };

struct KvtWalkVisit_st {
    CKvtNodeBase* pNode;
    CKvtNodeStruct* pParent;  // null for the node the walk starts at
    size_t nDepth;            // 0 for the node the walk starts at
    const std::string& sPath;
};

class CKvtPathWalk {
public:
    CKvtPathWalk(TKvtChildOrder nOrder, bool bPreview);
    virtual ~CKvtPathWalk() = default;
    CKvtPathWalk(const CKvtPathWalk&) = delete;
    CKvtPathWalk& operator=(const CKvtPathWalk&) = delete;

    // Visits pRoot (path "/") and every node below it; false when the visitor stopped the walk.
    bool Run(CKvtNodeBase* pRoot, const std::function<TKvtWalkStep(const KvtWalkVisit_st&)>& visit);

    // The positions of the children in the export's order (by caption with the
    // tree's collation; equal captions keep file order).
    static std::vector<int32_t> GetCaptionOrder(CKvtNodeStruct* pParent, bool bPreview);

protected:
    // The positions of the parent's children in the order to visit them. The
    // window overrides this to follow the order its tree shows.
    virtual std::vector<int32_t> OrderChildren(CKvtNodeStruct* pParent);

    TKvtChildOrder m_nOrder;
    bool m_bPreview;
};
