#pragma once
// The synthetic documents of the benchmark. Every shape is made from a fixed
// seed, so each run and each machine times exactly the same documents.
//
//   Nested       structs of 5 to 30 fields of every type, lists of structs
//                nested up to three levels, filled until the node count is
//                reached (the top-level lists grow one element at a time)
//   Wide         one struct holding nFields fields of every type
//   Alternating  one struct whose fields alternate between a leaf and a
//                struct of two leaves (nFields fields at the top level)
//   Flat         lists of structs of 20 leaves each, either all localized
//                strings or all of the other leaf types

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "BenchLeafFactory.h"
#include "RandomSource.h"
#include "KVTTreeNodes.h"

class CBenchDocumentGenerator {
public:
    explicit CBenchDocumentGenerator(uint64_t nSeed);

    std::unique_ptr<CKvtNodeTopLevelStruct> MakeNested(int64_t nNodes);
    std::unique_ptr<CKvtNodeTopLevelStruct> MakeWide(int32_t nFields);
    std::unique_ptr<CKvtNodeTopLevelStruct> MakeAlternating(int32_t nFields);
    std::unique_ptr<CKvtNodeTopLevelStruct> MakeFlat(int64_t nLeaves, bool bLocStrings);

    // Every node of the document, the root included.
    static int64_t CountNodes(CKvtNodeBase* pRoot);

private:
    std::unique_ptr<CKvtNodeTopLevelStruct> NewRoot();
    // A label not yet used among the struct's fields, as real files name them.
    std::string NewLabel(std::set<std::string>& used);
    void AddChild(CKvtNodeStruct* pParent, CKvtNodeBase* pChild, const std::string& sLabel, int32_t nIndex);
    // Fills a struct with 5 to 30 fields; returns the nodes made.
    int64_t FillStruct(CKvtNodeStruct* pStruct, int32_t nDepth);
    int64_t FillList(CKvtNodeStruct* pList, int32_t nDepth, int64_t nElements);

    CRandomSource m_Random;
    CBenchLeafFactory m_Leaves;
};
