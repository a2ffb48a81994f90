#pragma once
// A node's own state apart from its children: label, index, struct ID and
// value (a root's file type and version). An undo step keeps two of these
// to turn an edit back and forth without copying a subtree.

#include <memory>

#include "KVTTreeNodes.h"

class CKvtNodeState {
public:
    // Keeps pNode's own state now; a leaf's value only with bWithValue (a
    // value the step's other state holds too need not be kept twice).
    explicit CKvtNodeState(CKvtNodeBase* pNode, bool bWithValue = true);
    CKvtNodeState(const CKvtNodeState&) = delete;
    CKvtNodeState& operator=(const CKvtNodeState&) = delete;

    // Gives pNode (the node it was taken from) this state again.
    void RestoreTo(CKvtNodeBase* pNode) const;
    // Whether pNode holds exactly this state.
    bool Matches(CKvtNodeBase* pNode) const;
    bool ValueMatches(CKvtNodeBase* pNode) const;
    // Lets a leaf's value go: the state is then its label, index and struct
    // ID, every value matches it, and restoring it leaves the value alone.
    void LeaveValue();
    // The kept state, as a node of the same class without children.
    CKvtNodeBase* Copy() const { return m_pCopy.get(); }

private:
    // A fresh node of the same class holding the state; its children stay empty.
    std::unique_ptr<CKvtNodeBase> m_pCopy;
    bool m_bValueKept;
};
