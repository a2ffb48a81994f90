#include "collation.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "asciitext.h"

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

// The first-level weights as key bytes 1 .. 195, in the order of Weight():
// every byte that takes part in the first level gets the rank of its weight
// (a letter and its capital share one), 0 is left for the key's terminator.
std::array<unsigned char, 256> MakeWeightRanks()
{
    std::array<int, 256> weights{};
    std::vector<int> distinct;
    for (int c = 1; c < 256; ++c) {
        if (IsSkipped(static_cast<unsigned char>(c)))
            continue;
        weights[c] = Weight(static_cast<unsigned char>(c));
        distinct.push_back(weights[c]);
    }
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    std::array<unsigned char, 256> ranks{};
    for (int c = 1; c < 256; ++c) {
        if (!IsSkipped(static_cast<unsigned char>(c)))
            ranks[c] = static_cast<unsigned char>(
                1 + (std::lower_bound(distinct.begin(), distinct.end(), weights[c]) - distinct.begin()));
    }
    return ranks;
}

const std::array<unsigned char, 256>& WeightRanks()
{
    static const std::array<unsigned char, 256> s_Ranks = MakeWeightRanks();
    return s_Ranks;
}

bool IsUpper(unsigned char c)
{
    return c >= 'A' && c <= 'Z';
}

// One text being sorted: the first 8 key bytes as a number (big-endian, so
// numbers compare as the bytes do), and where its whole key lies.
struct SortEntry_st {
    uint64_t nPrefix;
    size_t nKeyOffset;
    uint32_t nKeyLength;
    uint32_t nPosition;
};

uint64_t KeyPrefix(const unsigned char* pKey, size_t nLength)
{
    uint64_t nPrefix = 0;
    for (size_t i = 0; i < 8; ++i)
        nPrefix = (nPrefix << 8) | (i < nLength ? pKey[i] : 0);
    return nPrefix;
}

} // namespace

void AppendCollationKey(const char* pText, std::string& sKey)
{
    const auto* p = reinterpret_cast<const unsigned char*>(pText != nullptr ? pText : "");
    const std::array<unsigned char, 256>& ranks = WeightRanks();
    // Level 1: the weights, then a terminator below every weight, so that a
    // text whose weights are a prefix of another's sorts first.
    size_t nWeighted = 0;
    for (const unsigned char* q = p; *q != 0; ++q) {
        if (!IsSkipped(*q)) {
            sKey += static_cast<char>(ranks[*q]);
            ++nWeighted;
        }
    }
    sKey += '\0';
    // Level 2: one bit per weighted byte, set for a capital, first byte in
    // the top bit. Texts equal at level 1 have bit strings of one length, and
    // their first differing bit is the first letter that differs in case.
    const size_t nBits = sKey.size();
    sKey.append((nWeighted + 7) / 8, '\0');
    size_t nBit = 0;
    for (const unsigned char* q = p; *q != 0; ++q) {
        if (IsSkipped(*q))
            continue;
        if (IsUpper(*q))
            sKey[nBits + nBit / 8] = static_cast<char>(sKey[nBits + nBit / 8] | (0x80 >> (nBit % 8)));
        ++nBit;
    }
    // Level 3: each hyphen or apostrophe as a marker, its position (8 bytes,
    // big-endian) and the byte, then a terminator below the marker: fewer of
    // them sort first, then earlier positions, then the smaller byte.
    for (size_t nPos = 0; p[nPos] != 0; ++nPos) {
        if (!IsTieBreakSkip(p[nPos]))
            continue;
        sKey += '\x01';
        for (int nShift = 56; nShift >= 0; nShift -= 8)
            sKey += static_cast<char>((static_cast<uint64_t>(nPos) >> nShift) & 0xFF);
        sKey += static_cast<char>(p[nPos]);
    }
    sKey += '\0';
}

std::vector<uint32_t> CollationOrder(const std::vector<const char*>& texts)
{
    std::string sKeys;
    std::vector<SortEntry_st> entries;
    entries.reserve(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        const size_t nOffset = sKeys.size();
        AppendCollationKey(texts[i], sKeys);
        entries.push_back(
            SortEntry_st{0, nOffset, static_cast<uint32_t>(sKeys.size() - nOffset), static_cast<uint32_t>(i)});
    }
    const auto* pKeys = reinterpret_cast<const unsigned char*>(sKeys.data());
    for (SortEntry_st& entry : entries)
        entry.nPrefix = KeyPrefix(pKeys + entry.nKeyOffset, entry.nKeyLength);
    auto text = [&texts](uint32_t nPosition) { return texts[nPosition] != nullptr ? texts[nPosition] : ""; };
    std::sort(entries.begin(), entries.end(), [&](const SortEntry_st& a, const SortEntry_st& b) {
        if (a.nPrefix != b.nPrefix)
            return a.nPrefix < b.nPrefix;
        const int nKeys = std::memcmp(pKeys + a.nKeyOffset, pKeys + b.nKeyOffset, std::min(a.nKeyLength, b.nKeyLength));
        if (nKeys != 0)
            return nKeys < 0;
        if (a.nKeyLength != b.nKeyLength)
            return a.nKeyLength < b.nKeyLength;
        // Level 4, then the given order for identical texts: a strict order
        // over all entries, so an unstable sort gives the stable result.
        const int nBytes = std::strcmp(text(a.nPosition), text(b.nPosition));
        if (nBytes != 0)
            return nBytes < 0;
        return a.nPosition < b.nPosition;
    });
    std::vector<uint32_t> order;
    order.reserve(entries.size());
    for (const SortEntry_st& entry : entries)
        order.push_back(entry.nPosition);
    return order;
}

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
