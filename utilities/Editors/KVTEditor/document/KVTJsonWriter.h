#pragma once
// Writes a document as its JSON form (docs/json-form.md) with RapidJSON's SAX
// writer, one line per node, without building a DOM and without recursion.

#include <cstdio>
#include <string>

#include "KVTTreeNodes.h"

class CKvtJsonWriter {
public:
    static std::string ToString(CKvtNodeTopLevelStruct* pRoot);
    // Streams the text to the open file; false when a write failed.
    static bool ToFile(CKvtNodeTopLevelStruct* pRoot, std::FILE* pFile);
};
