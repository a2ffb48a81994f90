#pragma once
// The load walk: turns the structs of a loaded CResKVT into nodes. Damaged
// files are ordinary input: counts are cut to what the file backs, the total
// work is bounded by the file's size, every struct is read at most once, and
// nesting stops at a fixed depth; each cut is reported once.

#include <cstdint>
#include <vector>

#include "KVTTreeNodes.h"
#include "KVTValueBudget.h"

class CKvtTreeLoader {
public:
    // The deepest level a loaded struct or list may have and still get children.
    static constexpr int32_t kMaxDepth = 1000;

    CKvtTreeLoader(CResKVT* pRes, uint64_t nFileSize);

    // Reads the top-level struct into the root (level 0).
    bool LoadTopLevel(CKvtNodeStruct* pRoot, const CKvtStructHandle* pStruct);
    // Reads the fields of the struct into pNode, which sits at nLevel.
    bool LoadStructFields(CKvtNodeStruct* pNode, const CKvtStructHandle* pStruct, int32_t nLevel);

private:
    // Marks the struct as read; false when it was read before, with a
    // warning unless bReported says the field or list that names it has
    // warned already (then it is set).
    bool ClaimStruct(const CKvtStructHandle* pStruct, bool& bReported);
    // Counts one loop iteration against the budget; false once it is spent.
    bool TakeIteration();
    // How many children a struct or list about to be read should make room
    // for: its count, within what is left of the budget.
    int32_t ChildrenToReserve(int32_t nCount) const;
    bool DepthAllowsChildren(int32_t nLevel, const COroString& sWhat);
    // Whether the value of a field of this type may be read within the
    // value budget; false (warned once per load) when it is to stay empty.
    bool ValueFitsBudget(TKvtFieldType nType, const CKvtStructHandle* pStruct, const char* pLabel);
    void LoadStructChild(CKvtNodeBase* pNode, const CKvtStructHandle* pStruct, const char* pLabel, int32_t nLevel,
                         bool& bOk);
    void LoadListChild(CKvtNodeStruct* pNode, const CKvtStructHandle* pStruct, const char* pLabel, int32_t nLevel,
                       bool& bOk);

    CResKVT* m_pRes;
    uint64_t m_nBudget;
    uint64_t m_nIterations;
    bool m_bBudgetReported;
    std::vector<bool> m_Claimed;
    CKvtValueBudget m_ValueBudget;
    bool m_bValueBudgetReported;
};
