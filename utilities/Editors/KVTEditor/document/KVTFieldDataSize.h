#pragma once
// The bytes of field data that saving a tree writes: what the writer stores
// for each value that does not fit its field record. The save walk makes
// room for them in one step, so that the area is never moved while it grows
// (a move holds the old and the new copy at once, which would make a save
// need up to twice the new file's size on top of the open document).

#include <cstdint>

class CKvtNodeStruct;

// Walks the tree without recursion (a pasted tree can be deeper than any
// loaded one); an upper bound when some nodes are not saved.
uint64_t CountFieldDataBytes(CKvtNodeStruct* pRoot);
