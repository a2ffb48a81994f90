#include "KVTNodeMatcher.h"

#include <memory>
#include <string_view>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string_view View(const COroString& s)
{
    return std::string_view(s.CStr(), static_cast<size_t>(s.GetLength()));
}

bool IsIntegerType(TKvtFieldType nType)
{
    return nType >= ftBYTE && nType <= ftINT64;
}

bool IsRealType(TKvtFieldType nType)
{
    return nType == ftFLOAT || nType == ftDOUBLE;
}

} // namespace

CKvtNodeMatcher::CKvtNodeMatcher(const IKvtTextMatch& match, const KvtFindOptions_st& options)
    : m_Match(match), m_Options(options), m_bIntegerTextsMayMatch(match.MayMatchTextOf("-0123456789")),
      m_bRealTextsMayMatch(match.MayMatchTextOf("-+.0123456789eEinfatINFAT"))
{
    // Every type but a struct names itself the same way for every node.
    for (int32_t nType = ftTOPLEVELSTRUCT; nType <= ftLIST; ++nType) {
        std::unique_ptr<CKvtNodeBase> pSample(CreateKvtNode(static_cast<TKvtFieldType>(nType)));
        m_FixedTypeNames.push_back(pSample->GetTypeName().CStr());
    }
}

std::string CKvtNodeMatcher::GetBinaryText(const CKvtNodeBINARY* pNode)
{
    std::string sText;
    if (!pNode->m_pData)
        return sText;
    sText.reserve(static_cast<size_t>(pNode->m_nDataSize) * 3);
    for (uint32_t i = 0; i < pNode->m_nDataSize; ++i) {
        if (i > 0)
            sText += ' ';
        sText += kHexDigits[pNode->m_pData[i] >> 4];
        sText += kHexDigits[pNode->m_pData[i] & 0x0F];
    }
    return sText;
}

void CKvtNodeMatcher::GetValueTexts(CKvtNodeBase* pNode, std::vector<std::string>& texts)
{
    texts.clear();
    switch (pNode->GetType()) {
    case ftBINARY:
        texts.push_back(GetBinaryText(static_cast<CKvtNodeBINARY*>(pNode)));
        return;
    case ftSTRUCT:
    case ftLIST:
        return;  // no value of their own
    case ftLOCSTRING: {
        const COroLocString& value = static_cast<CKvtNodeLOCSTRING*>(pNode)->m_Value;
        texts.push_back(pNode->GetEditText().CStr());
        for (int32_t i = 0; i < value.GetStringCount(); ++i) {
            int32_t nLanguage = 0;
            uint8_t nGender = 0;
            COroString sText;
            if (value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender))
                texts.emplace_back(View(sText));
        }
        return;
    }
    default:
        texts.emplace_back(View(pNode->GetEditText()));
        return;
    }
}

bool CKvtNodeMatcher::ValueMatches(CKvtNodeBase* pNode) const
{
    const TKvtFieldType nType = pNode->GetType();
    if ((IsIntegerType(nType) && !m_bIntegerTextsMayMatch) || (IsRealType(nType) && !m_bRealTextsMayMatch))
        return false;
    if (nType == ftSTRING)
        return m_Match.Matches(View(static_cast<CKvtNodeSTRING*>(pNode)->m_Value));
    if (nType == ftSTRUCT || nType == ftLIST)
        return false;
    if (nType != ftLOCSTRING && nType != ftBINARY)
        return m_Match.Matches(View(pNode->GetEditText()));
    std::vector<std::string> texts;
    GetValueTexts(pNode, texts);
    for (const std::string& sText : texts) {
        if (m_Match.Matches(sText))
            return true;
    }
    return false;
}

bool CKvtNodeMatcher::Matches(CKvtNodeBase* pNode) const
{
    if (m_Options.bLabels && m_Match.Matches(View(pNode->m_sLabel)))
        return true;
    if (m_Options.bTypes) {
        const TKvtFieldType nType = pNode->GetType();
        if (nType == ftSTRUCT) {
            if (m_Match.Matches(View(pNode->GetTypeName())))
                return true;
        } else if (nType >= ftTOPLEVELSTRUCT && nType <= ftLIST) {
            if (m_Match.Matches(m_FixedTypeNames[static_cast<size_t>(nType + 1)]))
                return true;
        }
    }
    return m_Options.bValues && ValueMatches(pNode);
}
