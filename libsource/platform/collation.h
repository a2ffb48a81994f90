#pragma once
// The linguistic comparison used to sort tree captions: deterministic and
// total over single-byte text (only identical texts compare equal).
//
// Level 1 compares weights, skipping '-', '\'' and control bytes: symbols
// and space, then bytes 0x80..0xFF, then digits, then letters ignoring case.
// Level 2 puts lower case first, level 3 puts the text without hyphens or
// apostrophes first (else compares them by position, then byte), level 4
// compares bytes.

// Negative, zero or positive as a sorts before, with or after b (-1, 0, 1).
// A null text counts as empty.
int CollateCompare(const char* a, const char* b);
