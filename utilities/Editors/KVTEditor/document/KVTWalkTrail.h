#pragma once
// Where the running load, save or export walk is: the chain of nodes from the
// root to the node being read or written, and how many nodes it has done of
// how many. A walk installs one for exactly its own duration; whoever handles
// a warning raised meanwhile can ask Current() which node it concerns, and a
// progress observer (KVTWalkProgress.h) is told how far the walk is and may
// ask it to stop.

#include <cstdint>
#include <vector>

#include "KVTTreeNodes.h"
#include "KVTWalkProgress.h"

class CKvtWalkTrail {
public:
    // Nodes between two reports to the observer: few enough that a walk of
    // a few hundred nodes can still be stopped part-way, and a report costs
    // no more than a few of them (the observer's display changes at most a
    // thousand times per walk).
    static constexpr uint64_t kNodesPerReport = 64;

    // Installs itself as the current trail, starting at pRoot, for a walk of
    // about nTotal nodes.
    CKvtWalkTrail(CKvtNodeBase* pRoot, uint64_t nTotal);
    ~CKvtWalkTrail();
    CKvtWalkTrail(const CKvtWalkTrail&) = delete;
    CKvtWalkTrail& operator=(const CKvtWalkTrail&) = delete;

    // The trail of the running walk; null outside every walk.
    static CKvtWalkTrail* Current();

    // The nodes from the root to the node being read or written.
    const std::vector<CKvtNodeBase*>& Chain() const { return m_Chain; }
    size_t Depth() const { return m_Chain.size(); }
    // The walk moves to pNode, a child of the node at depth nDepth - 1; one
    // more node is done.
    void MoveTo(size_t nDepth, CKvtNodeBase* pNode);
    void CutTo(size_t nDepth);
    // Once the observer has asked to stop, the walk stops at its next check.
    bool IsCancelled() const { return m_bCancelled; }

private:
    void Report();

    CKvtWalkTrail* m_pOuter;
    std::vector<CKvtNodeBase*> m_Chain;
    uint64_t m_nDone;
    uint64_t m_nTotal;
    bool m_bCancelled;
};

// A walk's step to one node, undone when it ends: the recursive load walk
// keeps the trail with one of these per level.
class CKvtWalkStep {
public:
    explicit CKvtWalkStep(CKvtNodeBase* pNode);
    ~CKvtWalkStep();
    CKvtWalkStep(const CKvtWalkStep&) = delete;
    CKvtWalkStep& operator=(const CKvtWalkStep&) = delete;

private:
    CKvtWalkTrail* m_pTrail;
    size_t m_nDepth;
};
