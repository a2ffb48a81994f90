#pragma once
// fuzz_text, edit-panel part: the integer conversion of the Type and Index
// boxes, the label checks, unique labels for pastes, the hexadecimal value
// display and the add-node table.

#include <string>
#include <vector>

#include "fuzzchoices.h"

// sText: one piece of the input; pieces: all of them (they serve as sibling labels).
void FuzzPanelTexts(const std::string& sText, const std::vector<std::string>& pieces, CFuzzChoices& choices);
