#include "KVTRegexTextMatch.h"

CKvtRegexTextMatch::CKvtRegexTextMatch(const std::string& sPattern, bool bMatchCase, bool bWholeWord)
{
    auto nFlags = std::regex::ECMAScript | std::regex::optimize;
    if (!bMatchCase)
        nFlags |= std::regex::icase;
    const std::string sFull = bWholeWord ? "\\b(?:" + sPattern + ")\\b" : sPattern;
    // The library reports a bad expression only by throwing; the throw stays
    // inside this constructor and becomes the error text.
    try {
        m_pRegex = std::make_unique<std::regex>(sFull, nFlags);
    } catch (const std::regex_error& error) {
        m_sError = error.what();
    }
}

bool CKvtRegexTextMatch::Matches(std::string_view sText) const
{
    if (!m_pRegex)
        return false;
    try {
        return std::regex_search(sText.begin(), sText.end(), *m_pRegex);
    } catch (const std::regex_error&) {
        return false;  // too complex for the library on this text: no match
    }
}
