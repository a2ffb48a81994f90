#pragma once
// How many nodes a tree holds, for walks that tell how far they are.

#include <cstdint>

class CKvtNodeBase;

// The node and all nodes below it; walks without recursion, since a pasted
// tree can be deeper than any loaded one.
uint64_t CountTreeNodes(CKvtNodeBase* pRoot);
