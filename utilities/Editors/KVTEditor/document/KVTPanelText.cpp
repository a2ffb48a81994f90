#include "KVTPanelText.h"

#include <cstdio>
#include <string>
#include <unordered_set>

#include "KVTTreeNodes.h"
#include "asciitext.h"

namespace {

constexpr int64_t kInt32Min = -2147483648LL;
constexpr int64_t kInt32Max = 2147483647LL;
constexpr uint64_t kUInt32Max = 0xFFFFFFFFULL;

bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Every character of sDigits a hexadecimal digit, at least one, the value
// within 32 bits. Leading zeros do not count against the width.
bool ParseHexDigits(std::string_view sDigits, uint32_t& nBits)
{
    if (sDigits.empty())
        return false;
    uint64_t nValue = 0;
    for (const char c : sDigits) {
        const int nDigit = HexDigitValue(c);
        if (nDigit < 0)
            return false;
        nValue = nValue * 16 + static_cast<uint64_t>(nDigit);
        if (nValue > kUInt32Max)
            return false;
    }
    nBits = static_cast<uint32_t>(nValue);
    return true;
}

// Optional sign, then only decimal digits (at least one), within int32.
bool ParseSignedDecimal(std::string_view sText, int32_t& nValue)
{
    bool bNegative = false;
    if (!sText.empty() && (sText.front() == '+' || sText.front() == '-')) {
        bNegative = sText.front() == '-';
        sText.remove_prefix(1);
    }
    if (sText.empty())
        return false;
    // The magnitude is checked against the range at every digit, so no
    // number of digits can overflow the 64-bit accumulator.
    int64_t nMagnitude = 0;
    for (const char c : sText) {
        if (!IsDecimalDigit(c))
            return false;
        nMagnitude = nMagnitude * 10 + (c - '0');
        if (nMagnitude > kInt32Max + 1)
            return false;
    }
    const int64_t nSigned = bNegative ? -nMagnitude : nMagnitude;
    if (nSigned < kInt32Min || nSigned > kInt32Max)
        return false;
    nValue = static_cast<int32_t>(nSigned);
    return true;
}

std::string UpperAscii(std::string_view sText)
{
    std::string sUpper(sText);
    for (char& c : sUpper)
        c = AsciiUpper(c);
    return sUpper;
}

bool IsScanWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Positions 0..16 of the popup; binary comes before the localized string,
// whatever their type codes say.
constexpr int32_t kAddNodeTypes[kAddNodeEntryCount] = {ftBYTE,    ftCHAR,      ftWORD,  ftSHORT,  ftDWORD,  ftINT,
                                                       ftDWORD64, ftINT64,     ftFLOAT, ftDOUBLE, ftSTRING, ftRESREF,
                                                       ftBINARY,  ftLOCSTRING, -1,      ftSTRUCT, ftLIST};

constexpr int32_t kLastFieldEntry = 13;
constexpr int32_t kFirstContainerEntry = 15;

} // namespace

bool ParsePanelInteger(std::string_view sText, int32_t& nValue)
{
    while (!sText.empty() && sText.front() == ' ')
        sText.remove_prefix(1);
    for (const std::string_view sPrefix : {"0x", "0X", "$", "x", "X"}) {
        if (sText.substr(0, sPrefix.size()) == sPrefix) {
            uint32_t nBits = 0;
            if (!ParseHexDigits(sText.substr(sPrefix.size()), nBits))
                return false;
            nValue = static_cast<int32_t>(nBits);
            return true;
        }
    }
    return ParseSignedDecimal(sText, nValue);
}

int32_t PanelIntegerOrDefault(std::string_view sText, int32_t nDefault)
{
    int32_t nValue = nDefault;
    return ParsePanelInteger(sText, nValue) ? nValue : nDefault;
}

bool IsValidFieldIdText(std::string_view sLabel, std::string_view sOwnLabel,
                        const std::vector<std::string_view>& siblingLabels)
{
    if (sLabel.size() > static_cast<size_t>(kMaxFieldIdLength))
        return false;
    if (sLabel.empty() || sLabel == sOwnLabel)
        return true;
    for (const std::string_view sSibling : siblingLabels) {
        if (AsciiEqualNoCase(sLabel, sSibling))
            return false;
    }
    return true;
}

COroString MakeUniqueFieldId(std::string_view sLabel, const std::vector<std::string_view>& siblingLabels)
{
    // A set of the upper-cased labels makes each candidate's test constant
    // time, so that pasting next to a million siblings stays one pass.
    std::unordered_set<std::string> taken;
    taken.reserve(siblingLabels.size());
    for (const std::string_view sSibling : siblingLabels)
        taken.insert(UpperAscii(sSibling));

    std::string sBase(sLabel);
    std::string sCandidate(sLabel);
    // Each round tries a new counter value, and the base is only ever cut, so
    // the candidates are all different: at most one round per sibling fails.
    uint64_t nCounter = 0;
    while (taken.count(UpperAscii(sCandidate)) != 0) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%03llu", static_cast<unsigned long long>(nCounter));
        const size_t nSuffixLength = std::char_traits<char>::length(suffix);
        const size_t nRoom =
            nSuffixLength >= static_cast<size_t>(kMaxFieldIdLength) ? 0 : kMaxFieldIdLength - nSuffixLength;
        if (sBase.size() > nRoom)
            sBase.resize(nRoom);
        sCandidate = sBase + suffix;
        ++nCounter;
    }
    return COroString(sCandidate.c_str());
}

const char* TypeCodeToName(int32_t nTypeCode)
{
    switch (nTypeCode) {
    case ftTOPLEVELSTRUCT: return "<TOP LEVEL STRUCT>";
    case ftBYTE: return "BYTE";
    case ftCHAR: return "CHAR";
    case ftWORD: return "WORD";
    case ftSHORT: return "SHORT";
    case ftDWORD: return "DWORD";
    case ftINT: return "INT";
    case ftDWORD64: return "DWORD64";
    case ftINT64: return "INT64";
    case ftFLOAT: return "FLOAT";
    case ftDOUBLE: return "DOUBLE";
    case ftSTRING: return "STRING";
    case ftRESREF: return "CResRef";
    case ftLOCSTRING: return "COroLocString";
    case ftBINARY: return "BINARY";
    case ftLIST: return "<LIST>";
    default: return "<User Defined>";
    }
}

std::string FormatTypeBoxText(uint32_t nBits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", nBits);
    return text;
}

bool FormatValueAsHex(std::string_view sText, std::string& sHex)
{
    size_t nPos = 0;
    while (nPos < sText.size() && IsScanWhiteSpace(sText[nPos]))
        ++nPos;
    bool bNegative = false;
    if (nPos < sText.size() && (sText[nPos] == '+' || sText[nPos] == '-')) {
        bNegative = sText[nPos] == '-';
        ++nPos;
    }
    if (nPos >= sText.size() || !IsDecimalDigit(sText[nPos]))
        return false;
    // Unsigned arithmetic wraps by definition: the result is the number's
    // low 64 bits, negative numbers in two's complement.
    uint64_t nBits = 0;
    while (nPos < sText.size() && IsDecimalDigit(sText[nPos])) {
        nBits = nBits * 10 + static_cast<uint64_t>(sText[nPos] - '0');
        ++nPos;
    }
    if (bNegative)
        nBits = 0 - nBits;
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(nBits));
    sHex = text;
    return true;
}

int32_t AddNodeEntryType(int32_t nPosition)
{
    if (nPosition < 0 || nPosition >= kAddNodeEntryCount)
        return -1;
    return kAddNodeTypes[nPosition];
}

bool IsAddNodeEntryEnabled(int32_t nPosition, bool bContainer, bool bFieldParent)
{
    if (nPosition >= 0 && nPosition <= kLastFieldEntry)
        return bFieldParent;
    if (nPosition >= kFirstContainerEntry && nPosition < kAddNodeEntryCount)
        return bContainer;
    return false;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
