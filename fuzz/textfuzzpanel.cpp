#include "textfuzzpanel.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "KVTPanelText.h"

namespace {

[[noreturn]] void Fail(const char* pWhat, const std::string& sText)
{
    std::fprintf(stderr, "fuzz_text: panel: %s [%s]\n", pWhat, sText.c_str());
    std::abort();
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char ca = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
        const char cb = (b[i] >= 'A' && b[i] <= 'Z') ? static_cast<char>(b[i] + 32) : b[i];
        if (ca != cb)
            return false;
    }
    return true;
}

bool AmongSiblings(std::string_view sLabel, const std::vector<std::string_view>& siblings)
{
    for (std::string_view sSibling : siblings) {
        if (EqualNoCase(sLabel, sSibling))
            return true;
    }
    return false;
}

void CheckPanelInteger(const std::string& sText)
{
    int32_t nValue = 0x5A5A5A5A;
    const bool bOk = ParsePanelInteger(sText, nValue);
    if (!bOk && nValue != 0x5A5A5A5A)
        Fail("a rejected text changed the number", sText);
    if (PanelIntegerOrDefault(sText, -77) != (bOk ? nValue : -77))
        Fail("the default form disagrees with the conversion", sText);
    if (!bOk)
        return;
    // What a box shows must convert back to the same number.
    int32_t nBack = 0;
    if (!ParsePanelInteger(std::to_string(nValue), nBack) || nBack != nValue)
        Fail("the decimal form does not convert back", sText);
    const std::string sHex = FormatTypeBoxText(static_cast<uint32_t>(nValue));
    nBack = 0;
    if (!ParsePanelInteger(sHex, nBack) || nBack != nValue)
        Fail("the Type box form does not convert back", sHex);
    if (ParsePanelInteger(sText + " ", nBack))
        Fail("a trailing space was accepted", sText);
    nBack = 0;
    if (!ParsePanelInteger("  " + sText, nBack) || nBack != nValue)
        Fail("leading spaces changed the conversion", sText);
}

void CheckLabels(const std::string& sText, const std::vector<std::string>& pieces, CFuzzChoices& choices)
{
    std::vector<std::string_view> siblings;
    for (const std::string& sPiece : pieces) {
        if (&sPiece != &sText && choices.Coin())
            siblings.emplace_back(sPiece);
    }
    // A node's own label came from a file or through this check: at most 16 characters.
    const std::string sOwn = pieces[choices.Below(static_cast<uint32_t>(pieces.size()))].substr(0, kMaxFieldIdLength);
    const bool bValid = IsValidFieldIdText(sText, sOwn, siblings);
    const bool bExpected = sText == sOwn ||
                           (sText.size() <= static_cast<size_t>(kMaxFieldIdLength) &&
                            (sText.empty() || !AmongSiblings(sText, siblings)));
    if (bValid != bExpected)
        Fail("the label check breaks its rule", sText);

    const COroString sUnique = MakeUniqueFieldId(sText, siblings);
    const std::string_view sResult(sUnique.CStr(), static_cast<size_t>(sUnique.GetLength()));
    if (!AmongSiblings(sText, siblings)) {
        if (sResult != sText)
            Fail("a label without a namesake was changed", sText);
        return;
    }
    if (AmongSiblings(sResult, siblings))
        Fail("the pasted label is not unique", std::string(sResult));
    if (sResult.size() > static_cast<size_t>(kMaxFieldIdLength))
        Fail("the pasted label is too long", std::string(sResult));
}

void CheckHexDisplay(const std::string& sText)
{
    std::string sHex = "untouched";
    const bool bOk = FormatValueAsHex(sText, sHex);
    size_t nPos = 0;
    while (nPos < sText.size() && (sText[nPos] == ' ' || (sText[nPos] >= '\t' && sText[nPos] <= '\r')))
        ++nPos;
    size_t nDigits = nPos;
    if (nDigits < sText.size() && (sText[nDigits] == '-' || sText[nDigits] == '+'))
        ++nDigits;
    const bool bNumber = nDigits < sText.size() && sText[nDigits] >= '0' && sText[nDigits] <= '9';
    if (bOk != bNumber)
        Fail("the hexadecimal display disagrees on whether a number starts the text", sText);
    if (!bOk) {
        if (sHex != "untouched")
            Fail("a text without a number changed the display", sText);
        return;
    }
    if (sHex.size() < 3 || sHex.compare(0, 2, "0x") != 0)
        Fail("the display is not hexadecimal", sHex);
    // A plain unsigned number within 64 bits shows exactly its own bits.
    if (nDigits == nPos) {
        errno = 0;
        const unsigned long long nValue = std::strtoull(sText.c_str() + nPos, nullptr, 10);
        char expected[32];
        std::snprintf(expected, sizeof expected, "0x%llx", nValue);
        if (errno == 0 && sHex != expected)
            Fail("the display shows other bits than the number's", sHex);
    }
}

void CheckAddNodeTable(CFuzzChoices& choices)
{
    const int32_t nPosition = static_cast<int32_t>(choices.Below(kAddNodeEntryCount + 6)) - 3;
    const int32_t nType = AddNodeEntryType(nPosition);
    const bool bInside = nPosition >= 0 && nPosition < kAddNodeEntryCount;
    if (!bInside && nType != -1)
        Fail("a position outside the menu has a type", std::to_string(nPosition));
    if (nType < -1 || nType > 15)
        Fail("a menu entry has an unknown type", std::to_string(nPosition));
    if (TypeCodeToName(static_cast<int32_t>(choices.Next())) == nullptr || TypeCodeToName(nType) == nullptr)
        Fail("a type code has no name", std::to_string(nType));
    if (!bInside)
        return;
    // A leaf, a list (a container for structs and lists only), a struct.
    const bool bLeaf = IsAddNodeEntryEnabled(nPosition, false, false);
    const bool bList = IsAddNodeEntryEnabled(nPosition, true, false);
    const bool bStruct = IsAddNodeEntryEnabled(nPosition, true, true);
    if (bLeaf || (nType == -1 && (bList || bStruct)))
        Fail("an entry is enabled where nothing may be added", std::to_string(nPosition));
    if (nType >= 0 && bStruct != true)
        Fail("an entry is disabled on a struct", std::to_string(nPosition));
    if (nType >= 0 && bList != (nType >= 14))
        Fail("a list takes other entries than struct and list", std::to_string(nPosition));
}

} // namespace

void FuzzPanelTexts(const std::string& sText, const std::vector<std::string>& pieces, CFuzzChoices& choices)
{
    CheckPanelInteger(sText);
    CheckLabels(sText, pieces, choices);
    CheckHexDisplay(sText);
    CheckAddNodeTable(choices);
}
