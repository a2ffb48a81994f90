#pragma once
// kvttool diff: two documents, each a KVT file or its JSON form.

#include <memory>

#include "KVTTreeNodes.h"

constexpr int kToolExitDifferent = 1;

// Opens a KVT file or, when its first character that is not white space is
// "{", a JSON form; null (with the message on standard error) on failure.
std::unique_ptr<CKvtNodeTopLevelStruct> OpenKvtOrJson(const char* pFileName);
// Prints the differences, one a line; exit 0 alike, 1 different, 2 when the
// output could not be written.
int PrintDocumentDiff(CKvtNodeTopLevelStruct* pFirst, CKvtNodeTopLevelStruct* pSecond);
