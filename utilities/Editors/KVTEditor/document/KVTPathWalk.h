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

    // Whether visits carry paths (on at first). A walk that needs none skips
    // the label bookkeeping; sPath is then empty.
    void SetBuildPaths(bool bBuildPaths) { m_bBuildPaths = bBuildPaths; }
    // During a visit: the nodes from the start of the walk to the visited one.
    void GetChain(std::vector<CKvtNodeBase*>& chain) const;

protected:
    // The positions of the parent's children in the order to visit them. The
    // window overrides this to follow the order its tree shows.
    virtual std::vector<int32_t> OrderChildren(CKvtNodeStruct* pParent);

    TKvtChildOrder m_nOrder;
    bool m_bPreview;

private:
    // One level per open struct: its children's order, their label
    // occurrences, the next one to visit and the length of the struct's path
    // (the shared path text is cut back to it before each child's step).
    struct CLevel {
        CKvtNodeStruct* pStruct;
        std::vector<int32_t> order;
        std::vector<uint32_t> occurrences;
        size_t nNext;
        size_t nPathLength;
    };
    void Open(CKvtNodeBase* pNode, size_t nPathLength);

    bool m_bBuildPaths = true;
    std::vector<CLevel> m_Levels;
    CKvtNodeBase* m_pVisited = nullptr;
};
