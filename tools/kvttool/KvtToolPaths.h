#pragma once
// kvttool's path commands, on a document the tool has opened.

#include "KVTTreeNodes.h"

// Every node's path, one a line, in the export's order. Exit status.
int PrintNodePaths(CKvtNodeTopLevelStruct* pRoot);
// The export line of the node the path names, without indentation; exit 4
// (with the reason on standard error) when no node has that path.
int PrintNodeAtPath(CKvtNodeTopLevelStruct* pRoot, const char* pPath);
