#pragma once
// The text export: one line per node, depth-first in display order, a TAB per
// level of depth, the caption with its value, CR LF after every line.

#include <string>

#include "KVTTreeNodes.h"

// The exact bytes of the export; empty when there is no document. A walk
// that its progress observer stops gives only the lines made until then.
std::string BuildExportText(CKvtNodeTopLevelStruct* pRoot);
