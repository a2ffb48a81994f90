#pragma once
// Compares two documents node by node, matching nodes by their path
// (docs/paths.md): a struct's fields by label and occurrence, a list's
// elements by position. One line per difference, in the order of the export
// (depth first, siblings sorted by caption):
//   - PATH               a node only in the first document (its subtree too)
//   + PATH               a node only in the second document (its subtree too)
//   ~ PATH: OLD -> NEW   a value, type or struct ID that changed
// docs/json-form.md describes the value texts.

#include <cstddef>
#include <functional>
#include <string>

#include "KVTTreeNodes.h"

class CKvtDocumentDiff {
public:
    // Hands each line (without line end) to the callback; the number of lines.
    static size_t Compare(CKvtNodeBase* pFirst, CKvtNodeBase* pSecond,
                          const std::function<void(const std::string&)>& line);

    // The text a "~" line shows for the node's value: the edit text, except
    // where that does not tell values apart (reals as in the JSON form,
    // binary values as base64, localized strings with their entries); bytes
    // below 0x20, 0x7F and the backslash are escaped.
    static std::string ValueText(CKvtNodeBase* pNode);
};
