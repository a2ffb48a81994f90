#pragma once
// Seeded starting documents for the random editing runs: every field type,
// nested structs and lists of structs, localized strings with a few
// languages and binary fields, each struct's labels unique.

#include <cstdint>

#include "KVTTreeNodes.h"
#include "RandomSource.h"

// Fills root (file type and version set, fields added) with about nNodes
// nodes.
void FillRandomDocument(CKvtNodeTopLevelStruct& root, CRandomSource& random, int32_t nNodes);

// A value text for a node of the type as a user might type it: mostly
// fitting, sometimes out of range, malformed or empty.
std::string RandomValueText(CRandomSource& random, TKvtFieldType nType);
