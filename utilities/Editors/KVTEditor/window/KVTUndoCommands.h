#pragma once
// The undo steps of the document session, one class per kind of step. A step
// is pushed after its change has been made (its first redo finds it done) and
// keeps only what it changed: the two states of an edited node, or the
// subtree that was added, pasted or deleted (the nodes themselves, not a
// copy) together with the tree items that showed them.
//
// Steps find nodes by their path from the root: with one line of history, the
// document's shape when a step is undone or redone is the shape it had when
// the step was made, so the path still leads to the node.

#include <QUndoCommand>
#include <cstdint>
#include <memory>
#include <vector>

#include "KVTNodeState.h"
#include "KVTTreeNodes.h"

class CKvtDocumentSession;
class CKvtTreeItem;

using TKvtNodePath = std::vector<CKvtNodeBase*>;

// An edit of one node's own state: value, label, struct ID, a root's type
// and version, a localized string's entries.
class CKvtNodeEditStep : public QUndoCommand {
public:
    // Keeps the node's state before the change; path leads to the node (may
    // be empty when the node has no item).
    CKvtNodeEditStep(CKvtDocumentSession& session, CKvtNodeBase* pNode, TKvtNodePath path);
    // Keeps the state after the change; false when the node did not change.
    bool Finish();
    // What changed, as the Undo and Redo items name it ("Edit Value of Weight").
    QString Describe() const;
    // The next edit of the same node, pushed right after this one, becomes
    // part of this step: Add leaves a language with an empty text, a state
    // the file cannot hold, until the memo's text is stored into it.
    void AbsorbNextEdit() { m_bAbsorbs = true; }

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* pOther) override;

private:
    void Show(const CKvtNodeState& state);
    // Keeps the node's state after the change.
    void KeepAfterState();

    CKvtDocumentSession& m_Session;
    CKvtNodeBase* m_pNode;
    TKvtNodePath m_Path;
    CKvtNodeState m_Before;
    std::unique_ptr<CKvtNodeState> m_pAfter;
    bool m_bValueChanged;
    bool m_bDone;
    bool m_bAbsorbs;
};

// A subtree going into or out of a container. While it is out of the
// document the step owns it, with the items that showed it.
class CKvtSubtreeMove : public QUndoCommand {
public:
    CKvtSubtreeMove(CKvtDocumentSession& session, TKvtNodePath parentPath, CKvtNodeBase* pNode, int32_t nChildIndex,
                    const QString& sText);
    ~CKvtSubtreeMove() override;

    // Takes the subtree out of its parent, and its items out of the view
    // (the selection moves off them first, as Delete moves it).
    void Detach();
    // Puts the subtree back at its position, and its items where they were
    // when the view has not been rebuilt since.
    void Attach();

protected:
    TKvtNodePath NodePath() const;
    CKvtDocumentSession& m_Session;
    TKvtNodePath m_ParentPath;
    CKvtNodeBase* m_pNode;
    // Whether the first redo, run by the push, finds the change made.
    bool m_bDone;

private:
    int32_t m_nChildIndex;
    std::unique_ptr<CKvtNodeBase> m_pDetached;
    std::unique_ptr<CKvtTreeItem> m_pItem;
    int m_nItemRow;
    uint64_t m_nGeneration;
};

// Add (each popup entry) and Paste: undo takes the new subtree out.
class CKvtInsertNodeStep : public CKvtSubtreeMove {
public:
    using CKvtSubtreeMove::CKvtSubtreeMove;
    void undo() override;
    void redo() override;
};

// Delete Node / Subtree: undo puts the subtree back.
class CKvtDeleteNodeStep : public CKvtSubtreeMove {
public:
    using CKvtSubtreeMove::CKvtSubtreeMove;
    void undo() override;
    void redo() override;
};
