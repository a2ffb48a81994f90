#include "KVTPlainTextMatch.h"

namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

CKvtPlainTextMatch::CKvtPlainTextMatch(std::string_view sNeedle, bool bMatchCase, bool bWholeWord)
    : m_sNeedle(sNeedle), m_bMatchCase(bMatchCase), m_bWholeWord(bWholeWord)
{
    if (!m_bMatchCase) {
        for (char& c : m_sNeedle)
            c = LowerAscii(c);
    }
}

bool CKvtPlainTextMatch::FoundAt(std::string_view sText, size_t nPos) const
{
    for (size_t i = 0; i < m_sNeedle.size(); ++i) {
        const char c = m_bMatchCase ? sText[nPos + i] : LowerAscii(sText[nPos + i]);
        if (c != m_sNeedle[i])
            return false;
    }
    if (!m_bWholeWord)
        return true;
    const size_t nEnd = nPos + m_sNeedle.size();
    return (nPos == 0 || !IsKvtWordByte(sText[nPos - 1])) && (nEnd == sText.size() || !IsKvtWordByte(sText[nEnd]));
}

bool CKvtPlainTextMatch::Matches(std::string_view sText) const
{
    if (m_sNeedle.empty() || sText.size() < m_sNeedle.size())
        return false;
    const char cFirst = m_sNeedle[0];
    const bool bLetter = !m_bMatchCase && cFirst >= 'a' && cFirst <= 'z';
    const char cFirstUpper = bLetter ? static_cast<char>(cFirst - 'a' + 'A') : cFirst;
    const size_t nLast = sText.size() - m_sNeedle.size();
    for (size_t nPos = 0; nPos <= nLast; ++nPos) {
        const char c = sText[nPos];
        if ((c == cFirst || c == cFirstUpper) && FoundAt(sText, nPos))
            return true;
    }
    return false;
}

bool CKvtPlainTextMatch::MayMatchTextOf(std::string_view sAlphabet) const
{
    if (m_sNeedle.empty())
        return false;
    for (char c : m_sNeedle) {
        bool bFound = false;
        for (char a : sAlphabet)
            bFound = bFound || (m_bMatchCase ? a : LowerAscii(a)) == c;
        if (!bFound)
            return false;
    }
    return true;
}
