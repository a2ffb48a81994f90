#pragma once
// kvttool find: the editor's Find over a document, every hit as
// "PATH<TAB>export line" in the export's order.

#include "KVTNodeMatcher.h"
#include "KVTTreeNodes.h"

constexpr int kToolExitNoHits = 1;

// Reads the options after the text (--labels --values --types --case --word
// --regex); false on anything else. Without any of the first three, all
// three are searched.
bool ParseFindOptions(int argc, char** argv, int nFirst, KvtFindOptions_st& options);
// Exit 0 when something was found, 1 when nothing, 2 for a text that is not
// a valid expression (the reason on standard error).
int PrintFindHits(CKvtNodeTopLevelStruct* pRoot, const char* pText, const KvtFindOptions_st& options);
