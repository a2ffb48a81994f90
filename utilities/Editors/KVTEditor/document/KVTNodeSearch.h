#pragma once
// Find over a document: the hits in the order a walk shows the nodes, the
// next or previous hit from a node with wrap-around, and every hit. The
// nodes are tested once in file order first (no sorting); the ordered walk
// then opens only the structs that hold a hit or lead to the starting node,
// so a search through a million nodes sorts only the few structs on the way.

#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

#include "KVTNodeMatcher.h"
#include "KVTPathWalk.h"

struct KvtFindResult_st {
    CKvtNodeBase* pNode = nullptr;     // null: no hit at all
    std::vector<CKvtNodeBase*> chain;  // from the root to the hit
    bool bWrapped = false;             // the search went past the end (or start) to find it
};

class CKvtNodeSearch {
public:
    // Everything given must outlive the search; the document must not change
    // while it runs.
    CKvtNodeSearch(CKvtNodeBase* pRoot, const CKvtNodeMatcher& matcher, CKvtPathWalk& walk);

    // Called after every kProgressStep nodes tested with the count so far;
    // returning false stops the search (it then reports what it has).
    static constexpr int64_t kProgressStep = 65536;
    void SetProgress(std::function<bool(int64_t)> progress) { m_Progress = std::move(progress); }

    // The hit after the node at the end of currentChain (before it when
    // bBackward), wrapping around; an empty chain starts before the root.
    KvtFindResult_st FindNext(const std::vector<CKvtNodeBase*>& currentChain, bool bBackward);
    // Every hit in order, each with its path (when the walk builds them);
    // false when the visitor or the progress stopped the search.
    bool FindAll(const std::function<bool(const KvtWalkVisit_st&)>& visit);
    // Nodes tested by the last search.
    int64_t TestedCount() const { return m_nTested; }

private:
    // Tests every node; false when stopped.
    bool MarkHits();

    CKvtNodeBase* m_pRoot;
    const CKvtNodeMatcher& m_Matcher;
    CKvtPathWalk& m_Walk;
    std::function<bool(int64_t)> m_Progress;
    int64_t m_nTested = 0;
    std::unordered_set<CKvtNodeBase*> m_Hits;
    // Nodes with a hit at or below them: the only ones the walk opens.
    std::unordered_set<CKvtNodeBase*> m_Open;
};
