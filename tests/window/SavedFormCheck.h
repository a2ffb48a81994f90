#pragma once
// What a saved file must give back when it is opened again. Everything the
// tree held comes back, except what the file format itself cannot hold:
//   - a namesake field: a field whose label an earlier field of the same
//     struct already carries (fields added from the popup start with an
//     empty label, so they often are). The file keeps its record, but every
//     lookup by label finds the first field, so only its label and position
//     come back; its type, value and contents are read from the first.
//   - a list element that is not a struct (a leaf or a list pasted into a
//     list, or a list added to one): a list holds structs only, so the
//     element comes back as a struct.
//   - the root's version: the writer stores its own.
// These are counted by kind; everything else is compared.

#include <string>

#include "KVTTreeNodes.h"

struct KvtFormatLimits_st {
    int32_t nNamesakeFields = 0;
    int32_t nNonStructElements = 0;
    bool bVersionReplaced = false;

    bool Any() const { return nNamesakeFields > 0 || nNonStructElements > 0 || bVersionReplaced; }
};

// Compares the tree as saved with the tree opened from the file. Returns an
// empty text when they agree apart from the named cases (counted into
// limits), else the first difference.
std::string CompareSavedTree(CKvtNodeTopLevelStruct* pSaved, CKvtNodeTopLevelStruct* pReopened,
                             KvtFormatLimits_st& limits);
