#pragma once
// What saving a tree writes: the bytes of field data (what the writer stores
// for each value that does not fit its field record), the field records and
// the struct records. The save walk makes room for them in one step, so that
// no table is moved while it grows (a move holds the old and the new copy at
// once, which would make a save need up to twice the new file's size on top
// of the open document).

#include <cstdint>

class CKvtNodeStruct;

struct KvtSaveSize_st {
    uint64_t nFieldDataBytes = 0;
    uint64_t nFields = 0;
    uint64_t nStructs = 0;
    // Entries of the field index arrays: the fields of structs with two or more.
    uint64_t nFieldIndices = 0;
    // Every node of the tree, the root included (the save's progress total).
    uint64_t nNodes = 1;
};

// Walks the tree without recursion (a pasted tree can be deeper than any
// loaded one); upper bounds when some nodes are not saved. The root's own
// struct is not counted.
KvtSaveSize_st CountSaveSize(CKvtNodeStruct* pRoot);
