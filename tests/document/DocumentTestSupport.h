#pragma once
// Shorthands for building and inspecting documents in tests.

#include <string>
#include <vector>

#include "KVTTreeNodes.h"

// Appends a new node of the type under the parent and returns it.
CKvtNodeBase* AddNode(CKvtNodeStruct* pParent, TKvtFieldType nType, const char* pLabel, int32_t nIndex = 0);
// Loads bytes as a document (the root is owned by the caller).
CKvtNodeTopLevelStruct* LoadBytes(const std::vector<uint8_t>& bytes, bool* pRefused = nullptr);
// Saves a document and returns the file's bytes (empty when the save failed).
std::vector<uint8_t> SaveToBytes(CKvtNodeTopLevelStruct* pRoot, bool* pOk = nullptr);
// One line per node, indented by depth, in document order: label/index, type
// name and edit text. Two trees are equal when their outlines are.
std::string Outline(CKvtNodeBase* pNode);
