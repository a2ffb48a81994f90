#pragma once
// Node paths: one printable-ASCII text per node that names the way from the
// root, and back from such a text to its node. docs/paths.md gives the syntax.
//
//   /                          the root
//   /Items[3]/Properties/Weight
//   /Name{2}                   the second field labelled Name of the root
//
// A struct's child is named by its label (with "{k}" for the k-th field of
// that label, k >= 2); a list's child by its 0-based position, "[i]". Labels
// are bytes: "/ [ ] { } \" are written after a backslash, control bytes and
// bytes from 0x7F as "\xHH", the empty label as "\e". Only this one form of
// each path is accepted, so that a node has exactly one path.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "KVTTreeNodes.h"

// One step of a path: a struct's field or a list's element.
struct KvtPathStep_st {
    bool bElement = false;
    std::string sLabel;        // field steps: the label's bytes
    uint32_t nOccurrence = 1;  // field steps: 1 for the first field of that label, k for "{k}"
    uint32_t nPosition = 0;    // element steps: the position in the list
};

enum class TKvtPathError {
    None,
    Syntax,    // the text is not a path (nOffset: the first byte that is wrong)
    NotFound,  // no node has the path (nOffset: where the first step that fails begins)
};

struct KvtPathLookup_st {
    CKvtNodeBase* pNode = nullptr;
    TKvtPathError nError = TKvtPathError::None;
    size_t nOffset = 0;
};

// Appends the label as a path writes it ("\e" for the empty label).
void AppendEscapedLabel(const char* pLabel, std::string& sOut);

// Whether children of this node are named by position ("[i]") rather than by label.
bool IsPositionalParent(CKvtNodeBase* pParent);

// For every child of the struct, in file order, the occurrence of its label
// among the fields before it (1 for the first). One pass over the children.
std::vector<uint32_t> GetLabelOccurrences(CKvtNodeStruct* pParent);

// Appends the step that names child nPosition of the parent, given that
// child's label occurrence (ignored for a list parent).
void AppendChildStep(CKvtNodeStruct* pParent, int32_t nPosition, uint32_t nOccurrence, std::string& sOut);

// The steps of a path text; false (and *pErrorOffset set) when the text is
// not a path in its one accepted form.
bool ParseNodePath(std::string_view sText, std::vector<KvtPathStep_st>& steps, size_t* pErrorOffset = nullptr);
// The text of a path made of the steps ("/" for none).
std::string FormatNodePath(const std::vector<KvtPathStep_st>& steps);

// The path of the last node of chain, where chain[0] is the root and each
// further node a child of the one before. Empty when the chain is broken.
std::string GetNodePath(const std::vector<CKvtNodeBase*>& chain);

// The chain from pRoot to pNode (both included), found by a walk without
// recursion; empty when pNode is not in the tree.
std::vector<CKvtNodeBase*> FindNodeChain(CKvtNodeBase* pRoot, CKvtNodeBase* pNode);

// The node a path text names under pRoot.
KvtPathLookup_st ResolveNodePath(CKvtNodeBase* pRoot, std::string_view sText);
