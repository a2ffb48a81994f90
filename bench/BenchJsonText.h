#pragma once
// The same document as JSON text, for the anchor figures: a struct is an
// object whose members are its fields by label (its struct ID as "__id"), a
// list an array of element objects, a localized string an object with its
// reference and its texts, a binary block a hex string.

#include <string>

#include "KVTTreeNodes.h"

std::string MakeJsonText(CKvtNodeTopLevelStruct* pRoot);
