#include "collation.h"

#include <cstddef>
#include <cstring>

namespace {

// Hyphen, apostrophe and control bytes take no part in the first level, so
// "co-op" sorts beside "coop" instead of among the symbols.
bool IsSkipped(unsigned char c)
{
    return c == '-' || c == '\'' || (c >= 0x01 && c <= 0x1F) || c == 0x7F;
}

bool IsTieBreakSkip(unsigned char c)
{
    return c == '-' || c == '\'';
}

unsigned char AsciiLower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool IsLower(unsigned char c)
{
    return c >= 'a' && c <= 'z';
}

// Four classes in ascending order: punctuation and symbols (byte order),
// bytes 0x80 to 0xFF (byte order), digits, letters without regard to case.
int Weight(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return 0x200 + (c - '0');
    const unsigned char lower = AsciiLower(c);
    if (IsLower(lower))
        return 0x300 + (lower - 'a');
    if (c >= 0x80)
        return 0x100 + c;
    return c;
}

int Sign(int n)
{
    return (n > 0) - (n < 0);
}

// Walks the bytes of a text that take part in the first level.
class CWeightedCursor {
public:
    explicit CWeightedCursor(const unsigned char* pText) : m_pText(pText) { SkipIgnored(); }
    bool AtEnd() const { return *m_pText == 0; }
    unsigned char Current() const { return *m_pText; }
    void Advance()
    {
        ++m_pText;
        SkipIgnored();
    }

private:
    void SkipIgnored()
    {
        while (*m_pText != 0 && IsSkipped(*m_pText))
            ++m_pText;
    }
    const unsigned char* m_pText;
};

int ComparePrimary(const unsigned char* a, const unsigned char* b)
{
    CWeightedCursor ca(a), cb(b);
    for (; !ca.AtEnd() && !cb.AtEnd(); ca.Advance(), cb.Advance()) {
        const int nDiff = Weight(ca.Current()) - Weight(cb.Current());
        if (nDiff != 0)
            return Sign(nDiff);
    }
    return Sign(static_cast<int>(!ca.AtEnd()) - static_cast<int>(!cb.AtEnd()));
}

// Only called when the first level is equal, so the weighted bytes pair up
// and any difference between them is one of letter case.
int CompareCase(const unsigned char* a, const unsigned char* b)
{
    CWeightedCursor ca(a), cb(b);
    for (; !ca.AtEnd() && !cb.AtEnd(); ca.Advance(), cb.Advance()) {
        if (ca.Current() != cb.Current())
            return IsLower(ca.Current()) ? -1 : 1;
    }
    return 0;
}

// Finds the next hyphen or apostrophe at or after nPos; false at the end.
bool NextTieBreakSkip(const unsigned char* pText, size_t& nPos)
{
    while (pText[nPos] != 0 && !IsTieBreakSkip(pText[nPos]))
        ++nPos;
    return pText[nPos] != 0;
}

int CompareSkipped(const unsigned char* a, const unsigned char* b)
{
    size_t nPosA = 0, nPosB = 0;
    bool bHasA = NextTieBreakSkip(a, nPosA);
    bool bHasB = NextTieBreakSkip(b, nPosB);
    if (bHasA != bHasB)
        return bHasA ? 1 : -1;
    while (bHasA && bHasB) {
        if (nPosA != nPosB)
            return nPosA < nPosB ? -1 : 1;
        if (a[nPosA] != b[nPosB])
            return a[nPosA] < b[nPosB] ? -1 : 1;
        ++nPosA;
        ++nPosB;
        bHasA = NextTieBreakSkip(a, nPosA);
        bHasB = NextTieBreakSkip(b, nPosB);
    }
    return Sign(static_cast<int>(bHasA) - static_cast<int>(bHasB));
}

} // namespace

int CollateCompare(const char* a, const char* b)
{
    const auto* pA = reinterpret_cast<const unsigned char*>(a != nullptr ? a : "");
    const auto* pB = reinterpret_cast<const unsigned char*>(b != nullptr ? b : "");
    int nResult = ComparePrimary(pA, pB);
    if (nResult == 0)
        nResult = CompareCase(pA, pB);
    if (nResult == 0)
        nResult = CompareSkipped(pA, pB);
    if (nResult == 0)
        nResult = Sign(std::strcmp(reinterpret_cast<const char*>(pA), reinterpret_cast<const char*>(pB)));
    return nResult;
}
