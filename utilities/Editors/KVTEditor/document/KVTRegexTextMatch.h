#pragma once
// An expression search with the standard library's ECMAScript grammar, for
// the command-line tool (the window uses its toolkit's expressions). A text
// matches when the expression matches anywhere in it; "Whole word" puts the
// expression between word boundaries.

#include <memory>
#include <regex>
#include <string>

#include "KVTTextMatch.h"

class CKvtRegexTextMatch : public IKvtTextMatch {
public:
    CKvtRegexTextMatch(const std::string& sPattern, bool bMatchCase, bool bWholeWord);

    // False (and nothing matches) when the pattern is not an expression.
    bool IsValid() const { return m_pRegex != nullptr; }
    const std::string& ErrorText() const { return m_sError; }

    bool Matches(std::string_view sText) const override;

private:
    std::unique_ptr<std::regex> m_pRegex;
    std::string m_sError;
};
