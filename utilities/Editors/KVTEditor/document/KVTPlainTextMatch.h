#pragma once
// The plain search: the typed bytes anywhere in the text, with ASCII letter
// case ignored unless asked, and, for whole words, only where neither
// neighbour is a word byte. An empty text to find matches nothing.

#include <string>

#include "KVTTextMatch.h"

class CKvtPlainTextMatch : public IKvtTextMatch {
public:
    CKvtPlainTextMatch(std::string_view sNeedle, bool bMatchCase, bool bWholeWord);

    bool Matches(std::string_view sText) const override;
    bool MayMatchTextOf(std::string_view sAlphabet) const override;

private:
    bool FoundAt(std::string_view sText, size_t nPos) const;

    std::string m_sNeedle;  // lower-cased when case is ignored
    bool m_bMatchCase;
    bool m_bWholeWord;
};
