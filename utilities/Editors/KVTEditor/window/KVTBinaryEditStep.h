#pragma once
// One change of a binary value as an undo step. It keeps only what changed,
// the position, the bytes taken out and the bytes put in, so that typing
// into a value of 64 MiB does not copy the value at every key. Typing the
// second digit of a byte joins the step of the first.

#include <QUndoCommand>
#include <cstdint>
#include <functional>
#include <vector>

#include "KVTTreeNodes.h"

class CKvtDocumentSession;

class CKvtBinaryEditStep : public QUndoCommand {
public:
    // The change has been made already (the first redo finds it done); path
    // leads to the node. onShown hears the node and where its cursor goes
    // whenever undo or redo changed the bytes.
    CKvtBinaryEditStep(CKvtDocumentSession& session, CKvtNodeBINARY* pNode, std::vector<CKvtNodeBase*> path,
                       uint32_t nOffset, std::vector<uint8_t> removed, std::vector<uint8_t> inserted,
                       std::function<void(CKvtNodeBINARY*, uint64_t)> onShown);
    // The next step, when it rewrites exactly the bytes this one put in
    // (the second digit of a byte), becomes part of this one.
    void JoinNextRewrite() { m_bJoinsNext = true; }
    // This step is that second digit.
    void CompletePreviousByte() { m_bCompletes = true; }

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* pOther) override;

private:
    void Replace(const std::vector<uint8_t>& from, const std::vector<uint8_t>& to);

    CKvtDocumentSession& m_Session;
    CKvtNodeBINARY* m_pNode;
    std::vector<CKvtNodeBase*> m_Path;
    uint32_t m_nOffset;
    std::vector<uint8_t> m_Removed;
    std::vector<uint8_t> m_Inserted;
    std::function<void(CKvtNodeBINARY*, uint64_t)> m_OnShown;
    bool m_bDone;
    bool m_bJoinsNext;
    bool m_bCompletes;
};
