#pragma once
// The linguistic comparison used to sort tree captions: deterministic and
// total over single-byte text (only identical texts compare equal).
//
// Level 1 compares weights, skipping '-', '\'' and control bytes: symbols
// and space, then bytes 0x80..0xFF, then digits, then letters ignoring case.
// Level 2 puts lower case first, level 3 puts the text without hyphens or
// apostrophes first (else compares them by position, then byte), level 4
// compares bytes.

#include <cstdint>
#include <string>
#include <vector>

// Negative, zero or positive as a sorts before, with or after b (-1, 0, 1).
// A null text counts as empty.
int CollateCompare(const char* a, const char* b);

// Sorting many texts at once. The sort key of a text is a byte string whose
// plain byte order (a key that is a prefix of another sorts first) is the
// order of the first three levels above; texts whose keys are equal differ
// at most at the byte level, where strcmp decides. Each text is examined once
// to build its key, so sorting costs cheap byte comparisons.
void AppendCollationKey(const char* pText, std::string& sKey);

// The positions 0 .. n-1 of the texts in ascending collation order, exactly
// the order a stable sort with CollateCompare gives: identical texts keep
// their given order. A null text counts as empty.
std::vector<uint32_t> CollationOrder(const std::vector<const char*>& texts);
