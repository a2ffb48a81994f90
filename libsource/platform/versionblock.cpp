#include "versionblock.h"

#include <string_view>

namespace {

constexpr uint16_t kTypeText = 1;
constexpr size_t kNodeHeader = 6;

// Offsets are relative to the block's start, which the format aligns to 4.
size_t Align4(size_t n)
{
    return (n + 3) & ~static_cast<size_t>(3);
}

uint16_t ReadWord(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

struct VersionNode_st {
    size_t nStart;
    size_t nEnd;        // nStart + wLength
    size_t nKey;        // first UTF-16 unit of the key
    size_t nKeyUnits;   // without the terminator
    size_t nValue;
    size_t nValueBytes;
    size_t nChildren;
    uint16_t nType;
};

// Decodes the node at nStart, which must end at or before nLimit.
bool ParseNode(const uint8_t* pBlock, size_t nStart, size_t nLimit, VersionNode_st& node)
{
    if (nStart > nLimit || nLimit - nStart < kNodeHeader)
        return false;
    const size_t nLength = ReadWord(pBlock + nStart);
    const size_t nValueLength = ReadWord(pBlock + nStart + 2);
    node.nType = ReadWord(pBlock + nStart + 4);
    if (nLength < kNodeHeader || nLength > nLimit - nStart)
        return false;
    node.nStart = nStart;
    node.nEnd = nStart + nLength;
    node.nKey = nStart + kNodeHeader;

    size_t nPos = node.nKey;
    while (nPos + 2 <= node.nEnd && ReadWord(pBlock + nPos) != 0)
        nPos += 2;
    if (nPos + 2 > node.nEnd)
        return false;  // the key has no terminator inside the node
    node.nKeyUnits = (nPos - node.nKey) / 2;

    // wValueLength counts UTF-16 units for text and bytes otherwise. Text
    // cut short by a wrong length is still usable up to the node's end.
    node.nValue = Align4(nPos + 2);
    node.nValueBytes = node.nType == kTypeText ? nValueLength * 2 : nValueLength;
    if (node.nValue > node.nEnd) {
        if (node.nValueBytes != 0)
            return false;
        node.nValue = node.nEnd;
    }
    if (node.nValueBytes > node.nEnd - node.nValue) {
        if (node.nType != kTypeText)
            return false;
        node.nValueBytes = node.nEnd - node.nValue;
    }
    const size_t nAfterValue = Align4(node.nValue + node.nValueBytes);
    node.nChildren = nAfterValue < node.nEnd ? nAfterValue : node.nEnd;
    return true;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool KeyEquals(const uint8_t* pBlock, const VersionNode_st& node, std::string_view key)
{
    if (node.nKeyUnits != key.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i) {
        const uint16_t nUnit = ReadWord(pBlock + node.nKey + 2 * i);
        const auto nByte = static_cast<unsigned char>(key[i]);
        if (nUnit >= 0x80 || nByte >= 0x80) {
            if (nUnit != nByte)
                return false;
        } else if (AsciiLower(static_cast<char>(nUnit)) != AsciiLower(key[i])) {
            return false;
        }
    }
    return true;
}

bool FindChild(const uint8_t* pBlock, const VersionNode_st& parent, std::string_view key, VersionNode_st& child)
{
    size_t nPos = parent.nChildren;
    while (nPos < parent.nEnd) {
        VersionNode_st candidate{};
        if (!ParseNode(pBlock, nPos, parent.nEnd, candidate))
            return false;
        if (KeyEquals(pBlock, candidate, key)) {
            child = candidate;
            return true;
        }
        nPos = Align4(candidate.nEnd);  // wLength >= 6, so every step moves on
    }
    return false;
}

// Code page 1252 differs from Latin-1 only in 0x80 to 0x9F.
char ToCodePage1252(uint16_t nUnit)
{
    static const uint16_t kHighTable[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (nUnit < 0x80 || (nUnit >= 0xA0 && nUnit <= 0xFF))
        return static_cast<char>(nUnit);
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] != 0 && kHighTable[i] == nUnit)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::string DecodeText(const uint8_t* pBlock, const VersionNode_st& node)
{
    std::string sText;
    for (size_t nPos = node.nValue; nPos + 2 <= node.nValue + node.nValueBytes; nPos += 2) {
        const uint16_t nUnit = ReadWord(pBlock + nPos);
        if (nUnit == 0)
            break;
        if (nUnit >= 0xDC00 && nUnit <= 0xDFFF)
            continue;  // second half of a pair whose first half already gave '?'
        sText += ToCodePage1252(nUnit);
    }
    return sText;
}

bool ParseRoot(const uint8_t* pData, size_t nSize, VersionNode_st& root)
{
    return pData != nullptr && ParseNode(pData, 0, nSize, root) && KeyEquals(pData, root, "VS_VERSION_INFO");
}

} // namespace

uint32_t VersionBlockSize(const uint8_t* pData, size_t nSize)
{
    VersionNode_st root{};
    return ParseRoot(pData, nSize, root) ? static_cast<uint32_t>(root.nEnd) : 0;
}

bool VersionBlockQueryString(const uint8_t* pBlock, size_t nSize, const char* pPath, std::string& sValue)
{
    VersionNode_st node{};
    if (pPath == nullptr || !ParseRoot(pBlock, nSize, node))
        return false;
    std::string_view path(pPath);
    bool bDescended = false;
    while (!path.empty()) {
        const size_t nSeparator = path.find('\\');
        const std::string_view key = path.substr(0, nSeparator);
        path = nSeparator == std::string_view::npos ? std::string_view() : path.substr(nSeparator + 1);
        if (key.empty())
            continue;
        VersionNode_st child{};
        if (!FindChild(pBlock, node, key, child))
            return false;
        node = child;
        bDescended = true;
    }
    if (!bDescended || node.nType != kTypeText)
        return false;
    sValue = DecodeText(pBlock, node);
    return true;
}
