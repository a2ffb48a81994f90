#include "versionblock.h"

#include <span>
#include <string_view>

#include "asciitext.h"
#include "bytereader.h"

namespace {

constexpr uint16_t kTypeText = 1;
constexpr size_t kNodeHeader = 6;

// Offsets are relative to the block's start, which the format aligns to 4.
size_t Align4(size_t n)
{
    return (n + 3) & ~static_cast<size_t>(3);
}

using TBlock = std::span<const uint8_t>;

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
bool ParseNode(TBlock block, size_t nStart, size_t nLimit, VersionNode_st& node)
{
    if (nLimit > block.size())
        return false;
    CByteReader header(block.first(nLimit));
    header.Seek(nStart);
    const size_t nLength = header.U16();
    const size_t nValueLength = header.U16();
    node.nType = header.U16();
    if (!header.Ok() || nLength < kNodeHeader || nLength > nLimit - nStart)
        return false;
    node.nStart = nStart;
    node.nEnd = nStart + nLength;
    node.nKey = nStart + kNodeHeader;

    // A failed read gives 0 too and ends the scan; Ok() tells the two apart.
    CByteReader key(block.first(node.nEnd));
    key.Seek(node.nKey);
    while (key.U16() != 0) {
    }
    if (!key.Ok())
        return false;  // the key has no terminator inside the node
    const size_t nAfterKey = static_cast<size_t>(key.Offset());
    node.nKeyUnits = (nAfterKey - 2 - node.nKey) / 2;

    // wValueLength counts UTF-16 units for text and bytes otherwise. Text
    // cut short by a wrong length is still usable up to the node's end.
    node.nValue = Align4(nAfterKey);
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

bool KeyEquals(TBlock block, const VersionNode_st& node, std::string_view key)
{
    if (node.nKeyUnits != key.size())
        return false;
    CByteReader units(block.subspan(node.nKey, 2 * node.nKeyUnits));
    for (const char c : key) {
        const uint16_t nUnit = units.U16();
        const auto nByte = static_cast<unsigned char>(c);
        if (nUnit >= 0x80 || nByte >= 0x80) {
            if (nUnit != nByte)
                return false;
        } else if (AsciiLower(static_cast<char>(nUnit)) != AsciiLower(c)) {
            return false;
        }
    }
    return units.Ok();
}

bool FindChild(TBlock block, const VersionNode_st& parent, std::string_view key, VersionNode_st& child)
{
    size_t nPos = parent.nChildren;
    while (nPos < parent.nEnd) {
        VersionNode_st candidate{};
        if (!ParseNode(block, nPos, parent.nEnd, candidate))
            return false;
        if (KeyEquals(block, candidate, key)) {
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

std::string DecodeText(TBlock block, const VersionNode_st& node)
{
    std::string sText;
    // An odd last byte is no unit of its own.
    CByteReader units(block.subspan(node.nValue, node.nValueBytes));
    while (units.Remaining() >= 2) {
        const uint16_t nUnit = units.U16();
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
    return pData != nullptr && ParseNode(TBlock(pData, nSize), 0, nSize, root) &&
           KeyEquals(TBlock(pData, nSize), root, "VS_VERSION_INFO");
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
        if (!FindChild(TBlock(pBlock, nSize), node, key, child))
            return false;
        node = child;
        bDescended = true;
    }
    if (!bDescended || node.nType != kTypeText)
        return false;
    sValue = DecodeText(TBlock(pBlock, nSize), node);
    return true;
}
