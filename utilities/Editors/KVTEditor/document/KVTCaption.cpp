#include "KVTCaption.h"

#include <string>
#include <utility>

#include "KVTNumberText.h"
#include "collation.h"

namespace {

// A CHAR previews its character too, as long as the value is a byte code.
COroString CharPreview(const COroString& sValue)
{
    int64_t nCode = 0;
    if (!ParseScanInteger(sValue.CStr(), nCode))
        nCode = 0;
    if (nCode < 0 || nCode >= 256)
        return sValue;
    std::string sText(sValue.CStr());
    sText += "  { ";
    sText += static_cast<char>(nCode);
    sText += " }";
    // A caption ends at a zero byte, so a CHAR holding 0 shows nothing after "{ ".
    return COroString(sText.c_str());
}

} // namespace

COroString GetNodeCaption(CKvtNodeBase* pNode, bool bPreview)
{
    COroString sName = pNode->m_sLabel;
    if (sName.GetLength() == 0)
        sName = COroString(pNode->m_nIndex);
    const COroString sType = pNode->GetTypeName();
    COroString sCaption;
    if (!bPreview) {
        sCaption.Format("%-16s %-12s", sName.CStr(), sType.CStr());
        return sCaption;
    }
    COroString sValue = pNode->GetPreviewText();
    if (pNode->GetType() == ftCHAR)
        sValue = CharPreview(sValue);
    sCaption.Format("%-16s %-12s = %s", sName.CStr(), sType.CStr(), sValue.CStr());
    return sCaption;
}

std::vector<KvtCaptionedNode_st> GetSortedChildren(CKvtNodeStruct* pParent, bool bPreview)
{
    std::vector<KvtCaptionedNode_st> captioned;
    const int32_t nCount = pParent->GetChildCount();
    captioned.reserve(static_cast<size_t>(nCount));
    std::vector<const char*> texts;
    texts.reserve(static_cast<size_t>(nCount));
    for (int32_t i = 0; i < nCount; ++i) {
        CKvtNodeBase* pChild = pParent->GetChild(i);
        captioned.push_back(KvtCaptionedNode_st{GetNodeCaption(pChild, bPreview), pChild});
        texts.push_back(captioned.back().sCaption.CStr());
    }
    // The stable collation order, with each caption turned into a sort key
    // once instead of being compared letter by letter at every step.
    std::vector<KvtCaptionedNode_st> children;
    children.reserve(captioned.size());
    for (uint32_t nPosition : CollationOrder(texts))
        children.push_back(std::move(captioned[nPosition]));
    return children;
}
