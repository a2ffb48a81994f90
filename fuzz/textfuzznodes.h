#pragma once
// fuzz_text, node part: every node type's SetFromText with arbitrary text,
// then its texts and tree captions; the scanf-style number parsers directly.

#include <string>

#include "fuzzchoices.h"

// Runs the node and number checks on one text (no zero bytes in it);
// sLabel becomes the nodes' label.
void FuzzNodeTexts(const std::string& sText, const std::string& sLabel, CFuzzChoices& choices);
