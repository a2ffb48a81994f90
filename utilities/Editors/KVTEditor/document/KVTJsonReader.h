#pragma once
// Reads the JSON form (docs/json-form.md) back into a document with
// RapidJSON's SAX reader: nodes are made as their objects arrive, the parse
// nests no deeper than the load's deepest tree, and the first value that is
// not valid JSON or does not fit its type refuses the whole text with one
// message naming its line, column and JSON Pointer.

#include <cstddef>
#include <memory>
#include <string>

#include "KVTTreeNodes.h"

class CKvtJsonReader {
public:
    // The new document, or null with the message in sError. pText[nSize]
    // must be a zero byte (a std::string's c_str()).
    static std::unique_ptr<CKvtNodeTopLevelStruct> FromText(const char* pText, size_t nSize, std::string& sError);
    // The same from a file; a file that cannot be read is refused with the
    // open error of the editor.
    static std::unique_ptr<CKvtNodeTopLevelStruct> FromFile(const char* pFileName, std::string& sError);

    // Whether the bytes look like the JSON form rather than a KVT file: the
    // first character that is not white space is "{".
    static bool LooksLikeJson(const char* pText, size_t nSize);
};
