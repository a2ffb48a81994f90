#include "textfuzznodes.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "KVTCaption.h"
#include "KVTNumberText.h"
#include "KVTTreeNodes.h"

namespace {

[[noreturn]] void Fail(TKvtFieldType nType, const char* pWhat, const COroString& sDetail)
{
    std::fprintf(stderr, "fuzz_text: type %d: %s [%s]\n", static_cast<int>(nType), pWhat, sDetail.CStr());
    std::abort();
}

bool StartsWith(const COroString& sText, const COroString& sPrefix)
{
    return sText.SubString(0, sPrefix.GetLength()) == sPrefix;
}

std::string AsciiLower(std::string sText)
{
    for (char& c : sText) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return sText;
}

bool IsNumberType(TKvtFieldType nType)
{
    return nType >= ftBYTE && nType <= ftDOUBLE;
}

// Whether SetFromText of a numeric node must accept the text.
bool NumberParses(TKvtFieldType nType, const char* pText)
{
    if (nType == ftFLOAT) {
        float f = 0;
        return ParseScanReal(pText, f);
    }
    if (nType == ftDOUBLE) {
        double d = 0;
        return ParseScanReal(pText, d);
    }
    int64_t n = 0;
    return ParseScanInteger(pText, n);
}

bool IsBlankOrLineBreak(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The file type and version the root's SetFromText takes from a text: the
// first four characters, then after blanks and line breaks the next four.
COroString RootEditTextFor(const std::string& sText)
{
    const std::string sType = sText.substr(0, 4);
    size_t nPos = sType.size();
    while (nPos < sText.size() && IsBlankOrLineBreak(sText[nPos]))
        ++nPos;
    const std::string sVersion = nPos < sText.size() ? sText.substr(nPos, 4) : std::string();
    return COroString((sType + "\r\n" + sVersion).c_str());
}

// What the node must show after SetFromText of sText, for the types whose
// rule fixes the whole edit text.
void CheckAppliedText(CKvtNodeBase* pNode, TKvtFieldType nType, const std::string& sText, bool bAccepted,
                      const COroString& sBefore)
{
    const COroString sEdit = pNode->GetEditText();
    if (IsNumberType(nType) || nType == ftLOCSTRING) {
        if (bAccepted != NumberParses(nType, sText.c_str()))
            Fail(nType, "accepts a text its number parser rejects, or the reverse", sText.c_str());
        if (!bAccepted && nType != ftLOCSTRING && sEdit != sBefore)
            Fail(nType, "a rejected text changed the value", sEdit);
        if (!bAccepted && nType == ftLOCSTRING && sEdit != "-1")
            Fail(nType, "a rejected text must clear the string reference", sEdit);
        return;
    }
    switch (nType) {
    case ftSTRING:
        if (!bAccepted || sEdit != sText.c_str())
            Fail(nType, "a string does not hold the text given", sEdit);
        if (pNode->GetPreviewText() != COroString(sText.substr(0, 32).c_str()))
            Fail(nType, "the preview is not the first 32 characters", pNode->GetPreviewText());
        break;
    case ftRESREF:
        if (!bAccepted || sEdit != AsciiLower(sText.substr(0, 16)).c_str())
            Fail(nType, "a resource name is not the first 16 characters lower-cased", sEdit);
        break;
    case ftBINARY:
        if (bAccepted || sEdit != "...")
            Fail(nType, "binary values take no text", sEdit);
        break;
    case ftSTRUCT:
    case ftLIST:
        if (!bAccepted || sEdit.GetLength() != 0)
            Fail(nType, "a struct or list has no value text", sEdit);
        break;
    case ftTOPLEVELSTRUCT:
        if (!bAccepted || sEdit != RootEditTextFor(sText))
            Fail(nType, "the root does not take file type and version from the text", sEdit);
        break;
    default:
        break;
    }
}

// Applying a node's own edit text must settle: exact formats keep the text
// at once; a FLOAT rounds to twelve decimals and a root with a file type
// shorter than four characters takes the line break into it, so those two
// may change a few times before the text stays.
void CheckEditTextIsStable(CKvtNodeBase* pNode, TKvtFieldType nType)
{
    if (nType == ftBINARY)
        return;
    const COroString sFirst = pNode->GetEditText();
    COroString sCurrent = sFirst;
    for (int nRound = 0;; ++nRound) {
        if (!pNode->SetFromText(sCurrent))
            Fail(nType, "the node rejects its own edit text", sCurrent);
        const COroString sNext = pNode->GetEditText();
        if (sNext == sCurrent)
            break;
        if (nRound == 3)
            Fail(nType, "applying the edit text again and again keeps changing it", sNext);
        sCurrent = sNext;
    }
    const bool bMayChange = nType == ftFLOAT || nType == ftTOPLEVELSTRUCT;
    if (!bMayChange && sCurrent != sFirst)
        Fail(nType, "applying the edit text changes the value", sCurrent);
}

void CheckTexts(CKvtNodeBase* pNode, TKvtFieldType nType)
{
    const COroString sTypeName = pNode->GetTypeName();
    if (sTypeName.GetLength() < 2 || sTypeName[0] != '[')
        Fail(nType, "the type name is not bracketed", sTypeName);
    if (pNode->GetHelpText().GetLength() == 0)
        Fail(nType, "no help text", sTypeName);
    pNode->GetPreviewText();
    const COroString sPlain = GetNodeCaption(pNode, false);
    const COroString sPreview = GetNodeCaption(pNode, true);
    if (!StartsWith(sPreview, sPlain))
        Fail(nType, "the preview caption does not extend the plain caption", sPreview);
    const COroString sName = pNode->m_sLabel.GetLength() ? pNode->m_sLabel : COroString(pNode->m_nIndex);
    if (!StartsWith(sPlain, sName))
        Fail(nType, "the caption does not start with the node's name", sPlain);
}

void FuzzOneType(TKvtFieldType nType, const std::string& sText, const std::string& sLabel, CFuzzChoices& choices)
{
    std::unique_ptr<CKvtNodeBase> pNode(CreateKvtNode(nType));
    if (nType < ftTOPLEVELSTRUCT || nType > ftLIST) {
        if (pNode)
            Fail(nType, "the factory made a node of an unknown type", "");
        return;
    }
    if (!pNode)
        Fail(nType, "the factory made no node", "");
    pNode->m_sLabel = sLabel.c_str();
    pNode->m_nIndex = static_cast<int32_t>(choices.Next());
    if (choices.Coin())
        pNode->SetStructID(static_cast<uint32_t>(choices.Next()));
    const COroString sBefore = pNode->GetEditText();
    const bool bAccepted = pNode->SetFromText(sText.c_str());
    CheckAppliedText(pNode.get(), nType, sText, bAccepted, sBefore);
    CheckTexts(pNode.get(), nType);
    CheckEditTextIsStable(pNode.get(), nType);
    CheckTexts(pNode.get(), nType);
}

void FuzzNumberParsers(const std::string& sText)
{
    int64_t n = 0;
    float f = 0;
    double d = 0;
    ParseScanInteger(sText.c_str(), n);
    ParseScanReal(sText.c_str(), f);
    ParseScanReal(sText.c_str(), d);
    // Without a text nothing is read and nothing changes.
    n = 7;
    if (ParseScanInteger(nullptr, n) || n != 7)
        Fail(ftINT64, "a missing text was read as a number", "");
}

} // namespace

void FuzzNodeTexts(const std::string& sText, const std::string& sLabel, CFuzzChoices& choices)
{
    FuzzNumberParsers(sText);
    for (int32_t nType = -2; nType <= 16; ++nType)
        FuzzOneType(static_cast<TKvtFieldType>(nType), sText, sLabel, choices);
}
