#include "KVTDocumentDiff.h"

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "KVTCaption.h"
#include "KVTJsonText.h"
#include "KVTNodePath.h"
#include "collation.h"

namespace {

void AppendEscaped(const char* pBytes, size_t nLength, std::string& sOut)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < nLength; ++i) {
        const auto c = static_cast<unsigned char>(pBytes[i]);
        if (c == '\\') {
            sOut += "\\\\";
        } else if (c == '\r') {
            sOut += "\\r";
        } else if (c == '\n') {
            sOut += "\\n";
        } else if (c == '\t') {
            sOut += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            sOut += "\\x";
            sOut += kHex[c >> 4];
            sOut += kHex[c & 15];
        } else {
            sOut += static_cast<char>(c);
        }
    }
}

void AppendEscaped(const COroString& s, std::string& sOut)
{
    AppendEscaped(s.CStr(), static_cast<size_t>(s.GetLength()), sOut);
}

// A child of one or both documents at the same path.
struct PairedChild_st {
    CKvtNodeBase* pFirst;
    CKvtNodeBase* pSecond;
    std::string sPath;
};

std::string_view LabelView(CKvtNodeBase* pNode)
{
    return std::string_view(pNode->m_sLabel.CStr(), static_cast<size_t>(pNode->m_sLabel.GetLength()));
}

std::vector<int32_t> MatchChildren(CKvtNodeBase* pFirst, CKvtNodeBase* pSecond);

// The children of the two nodes paired by path, in the export's order.
std::vector<PairedChild_st> PairChildren(CKvtNodeBase* pFirst, CKvtNodeBase* pSecond, const std::string& sPath)
{
    CKvtNodeStruct* pA = pFirst->GetStructNode();
    CKvtNodeStruct* pB = pSecond->GetStructNode();
    const int32_t nA = pA ? pA->GetChildCount() : 0;
    const int32_t nB = pB ? pB->GetChildCount() : 0;
    const std::vector<uint32_t> occurrencesA = pA ? GetLabelOccurrences(pA) : std::vector<uint32_t>();
    const std::vector<uint32_t> occurrencesB = pB ? GetLabelOccurrences(pB) : std::vector<uint32_t>();
    const std::vector<int32_t> match = MatchChildren(pFirst, pSecond);
    std::vector<bool> matchedB(static_cast<size_t>(nB), false);
    for (int32_t j : match)
        if (j >= 0)
            matchedB[static_cast<size_t>(j)] = true;

    const std::string sBase = sPath == "/" ? std::string() : sPath;
    std::vector<PairedChild_st> pairs;
    std::vector<COroString> captions;
    for (int32_t i = 0; i < nA; ++i) {
        const int32_t j = match[static_cast<size_t>(i)];
        std::string sChild = sBase;
        AppendChildStep(pA, i, occurrencesA[static_cast<size_t>(i)], sChild);
        pairs.push_back(PairedChild_st{pA->GetChild(i), j >= 0 ? pB->GetChild(j) : nullptr, std::move(sChild)});
        captions.push_back(GetNodeCaption(pA->GetChild(i), true));
    }
    for (int32_t j = 0; j < nB; ++j) {
        if (matchedB[static_cast<size_t>(j)])
            continue;
        std::string sChild = sBase;
        AppendChildStep(pB, j, occurrencesB[static_cast<size_t>(j)], sChild);
        pairs.push_back(PairedChild_st{nullptr, pB->GetChild(j), std::move(sChild)});
        captions.push_back(GetNodeCaption(pB->GetChild(j), true));
    }
    std::vector<const char*> texts;
    texts.reserve(captions.size());
    for (const COroString& s : captions)
        texts.push_back(s.CStr());
    std::vector<PairedChild_st> ordered;
    ordered.reserve(pairs.size());
    for (uint32_t nPosition : CollationOrder(texts))
        ordered.push_back(std::move(pairs[nPosition]));
    return ordered;
}

// The "OLD -> NEW" of a changed node, or empty when the nodes are alike.
std::string Change(CKvtNodeBase* pFirst, CKvtNodeBase* pSecond)
{
    const COroString sTypeA = pFirst->GetTypeName();
    const COroString sTypeB = pSecond->GetTypeName();
    const std::string sValueA = CKvtDocumentDiff::ValueText(pFirst);
    const std::string sValueB = CKvtDocumentDiff::ValueText(pSecond);
    if (sTypeA == sTypeB)
        return sValueA == sValueB ? std::string() : sValueA + " -> " + sValueB;
    // Another type (or struct ID): both sides name their type.
    std::string sOut = sTypeA.CStr();
    if (!sValueA.empty())
        sOut += " " + sValueA;
    sOut += " -> ";
    sOut += sTypeB.CStr();
    if (!sValueB.empty())
        sOut += " " + sValueB;
    return sOut;
}

bool SameBytes(const char* pA, size_t nA, const char* pB, size_t nB)
{
    return nA == nB && (nA == 0 || std::memcmp(pA, pB, nA) == 0);
}

bool SameText(const COroString& a, const COroString& b)
{
    return SameBytes(a.CStr(), static_cast<size_t>(a.GetLength()), b.CStr(), static_cast<size_t>(b.GetLength()));
}

template <typename TNode> bool SameBits(CKvtNodeBase* pA, CKvtNodeBase* pB)
{
    // Bits, not values: -0 and 0 differ, and so do NaN payloads.
    return std::memcmp(&static_cast<TNode*>(pA)->m_Value, &static_cast<TNode*>(pB)->m_Value,
                       sizeof static_cast<TNode*>(pA)->m_Value) == 0;
}

bool SameLocString(const COroLocString& a, const COroLocString& b)
{
    if (a.StrRef != b.StrRef || a.GetStringCount() != b.GetStringCount())
        return false;
    for (int32_t i = 0; i < a.GetStringCount(); ++i) {
        int32_t nLanguageA = 0, nLanguageB = 0;
        uint8_t nGenderA = 0, nGenderB = 0;
        COroString sA, sB;
        a.GetStringByIndex(static_cast<uint32_t>(i), nLanguageA, sA, nGenderA);
        b.GetStringByIndex(static_cast<uint32_t>(i), nLanguageB, sB, nGenderB);
        if (nLanguageA != nLanguageB || nGenderA != nGenderB || !SameText(sA, sB))
            return false;
    }
    return true;
}

// Whether Change() finds nothing, without making any text: the first pass
// over every node uses this.
bool SameOwnState(CKvtNodeBase* pA, CKvtNodeBase* pB)
{
    if (pA->GetType() != pB->GetType())
        return false;
    switch (pA->GetType()) {
    case ftTOPLEVELSTRUCT: {
        auto* pRootA = static_cast<CKvtNodeTopLevelStruct*>(pA);
        auto* pRootB = static_cast<CKvtNodeTopLevelStruct*>(pB);
        return SameText(pRootA->m_sFileType, pRootB->m_sFileType) && SameText(pRootA->m_sVersion, pRootB->m_sVersion);
    }
    case ftSTRUCT: return pA->m_nStructID == pB->m_nStructID;
    case ftLIST: return true;
    case ftBYTE: return SameBits<CKvtNodeBYTE>(pA, pB);
    case ftCHAR: return SameBits<CKvtNodeCHAR>(pA, pB);
    case ftWORD: return SameBits<CKvtNodeWORD>(pA, pB);
    case ftSHORT: return SameBits<CKvtNodeSHORT>(pA, pB);
    case ftDWORD: return SameBits<CKvtNodeDWORD>(pA, pB);
    case ftINT: return SameBits<CKvtNodeINT>(pA, pB);
    case ftDWORD64: return SameBits<CKvtNodeDWORD64>(pA, pB);
    case ftINT64: return SameBits<CKvtNodeINT64>(pA, pB);
    case ftFLOAT: return SameBits<CKvtNodeFLOAT>(pA, pB);
    case ftDOUBLE: return SameBits<CKvtNodeDOUBLE>(pA, pB);
    case ftSTRING: return SameText(static_cast<CKvtNodeSTRING*>(pA)->m_Value, static_cast<CKvtNodeSTRING*>(pB)->m_Value);
    case ftRESREF: {
        const CResRef& a = static_cast<CKvtNodeRESREF*>(pA)->m_Value;
        const CResRef& b = static_cast<CKvtNodeRESREF*>(pB)->m_Value;
        return SameBytes(a.GetResRef(), a.GetLength(), b.GetResRef(), b.GetLength());
    }
    case ftLOCSTRING:
        return SameLocString(static_cast<CKvtNodeLOCSTRING*>(pA)->m_Value,
                             static_cast<CKvtNodeLOCSTRING*>(pB)->m_Value);
    case ftBINARY: {
        auto* pBinA = static_cast<CKvtNodeBINARY*>(pA);
        auto* pBinB = static_cast<CKvtNodeBINARY*>(pB);
        return SameBytes(reinterpret_cast<const char*>(pBinA->m_pData), pBinA->m_pData ? pBinA->m_nDataSize : 0,
                         reinterpret_cast<const char*>(pBinB->m_pData), pBinB->m_pData ? pBinB->m_nDataSize : 0);
    }
    }
    return false;
}

// The children of the first document matched to those of the second: -1 for
// none. Both in file order with the same labels (the usual case) is decided
// without building an index.
std::vector<int32_t> MatchChildren(CKvtNodeBase* pFirst, CKvtNodeBase* pSecond)
{
    CKvtNodeStruct* pA = pFirst->GetStructNode();
    CKvtNodeStruct* pB = pSecond->GetStructNode();
    const int32_t nA = pA ? pA->GetChildCount() : 0;
    const int32_t nB = pB ? pB->GetChildCount() : 0;
    std::vector<int32_t> match(static_cast<size_t>(nA), -1);
    // A child path step means the same only under parents of the same kind.
    if (!pA || !pB || IsPositionalParent(pFirst) != IsPositionalParent(pSecond))
        return match;
    bool bInStep = IsPositionalParent(pFirst) || nA == nB;
    for (int32_t i = 0; i < nA && bInStep && !IsPositionalParent(pFirst); ++i)
        bInStep = LabelView(pA->GetChild(i)) == LabelView(pB->GetChild(i));
    if (bInStep) {
        for (int32_t i = 0; i < nA && i < nB; ++i)
            match[static_cast<size_t>(i)] = i;
        return match;
    }
    const std::vector<uint32_t> occurrencesA = GetLabelOccurrences(pA);
    std::unordered_map<std::string_view, std::vector<int32_t>> byLabel;
    byLabel.reserve(static_cast<size_t>(nB));
    for (int32_t j = 0; j < nB; ++j)
        byLabel[LabelView(pB->GetChild(j))].push_back(j);
    for (int32_t i = 0; i < nA; ++i) {
        const auto it = byLabel.find(LabelView(pA->GetChild(i)));
        const uint32_t nOccurrence = occurrencesA[static_cast<size_t>(i)];
        if (it != byLabel.end() && nOccurrence <= it->second.size())
            match[static_cast<size_t>(i)] = it->second[nOccurrence - 1];
    }
    return match;
}

// First pass, in file order and without texts: the nodes of the first
// document below which something differs. The second pass sorts, names and
// prints only along these.
std::unordered_set<CKvtNodeBase*> FindDifferingParents(CKvtNodeBase* pFirst, CKvtNodeBase* pSecond)
{
    struct Frame_st {
        CKvtNodeBase* pA;
        CKvtNodeBase* pB;
        std::vector<int32_t> match;
        size_t nNext;
        bool bDiffers;
    };
    std::unordered_set<CKvtNodeBase*> differing;
    auto open = [](CKvtNodeBase* pA, CKvtNodeBase* pB) {
        Frame_st frame{pA, pB, MatchChildren(pA, pB), 0, false};
        CKvtNodeStruct* pStructB = pB->GetStructNode();
        size_t nMatched = 0;
        for (int32_t j : frame.match)
            nMatched += j >= 0 ? 1 : 0;
        // A child left unmatched on either side.
        frame.bDiffers = nMatched != frame.match.size() ||
                         nMatched != static_cast<size_t>(pStructB ? pStructB->GetChildCount() : 0);
        return frame;
    };
    std::vector<Frame_st> stack;
    stack.push_back(open(pFirst, pSecond));
    while (!stack.empty()) {
        Frame_st& frame = stack.back();
        if (frame.nNext >= frame.match.size()) {
            const bool bDiffers = frame.bDiffers;
            CKvtNodeBase* pA = frame.pA;
            stack.pop_back();
            if (bDiffers) {
                differing.insert(pA);
                if (!stack.empty())
                    stack.back().bDiffers = true;
            }
            continue;
        }
        const size_t i = frame.nNext++;
        const int32_t j = frame.match[i];
        if (j < 0)
            continue;
        CKvtNodeBase* pChildA = frame.pA->GetStructNode()->GetChild(static_cast<int32_t>(i));
        CKvtNodeBase* pChildB = frame.pB->GetStructNode()->GetChild(j);
        if (!SameOwnState(pChildA, pChildB))
            frame.bDiffers = true;
        if (pChildA->GetStructNode() || pChildB->GetStructNode())
            stack.push_back(open(pChildA, pChildB));
    }
    return differing;
}

} // namespace

std::string CKvtDocumentDiff::ValueText(CKvtNodeBase* pNode)
{
    std::string sOut;
    switch (pNode->GetType()) {
    case ftFLOAT: return CKvtJsonText::RealText(static_cast<CKvtNodeFLOAT*>(pNode)->m_Value);
    case ftDOUBLE: return CKvtJsonText::RealText(static_cast<CKvtNodeDOUBLE*>(pNode)->m_Value);
    case ftBINARY: {
        auto* pBinary = static_cast<CKvtNodeBINARY*>(pNode);
        CKvtJsonText::EncodeBase64(pBinary->m_pData, pBinary->m_pData ? pBinary->m_nDataSize : 0, sOut);
        return sOut;
    }
    case ftLOCSTRING: {
        const COroLocString& value = static_cast<CKvtNodeLOCSTRING*>(pNode)->m_Value;
        sOut = std::to_string(value.StrRef);
        for (int32_t i = 0; i < value.GetStringCount(); ++i) {
            int32_t nLanguage = 0;
            uint8_t nGender = 0;
            COroString sText;
            value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender);
            sOut += " [" + std::to_string(nLanguage) + "," + std::to_string(nGender) + "] ";
            AppendEscaped(sText, sOut);
        }
        return sOut;
    }
    case ftRESREF: {
        // The bytes as held (the edit text is the same bytes).
        const CResRef& ref = static_cast<CKvtNodeRESREF*>(pNode)->m_Value;
        AppendEscaped(ref.GetResRef(), ref.GetLength(), sOut);
        return sOut;
    }
    default: AppendEscaped(pNode->GetEditText(), sOut); return sOut;
    }
}

size_t CKvtDocumentDiff::Compare(CKvtNodeBase* pFirst, CKvtNodeBase* pSecond,
                                 const std::function<void(const std::string&)>& line)
{
    size_t nLines = 0;
    // Depth first without recursion; children are pushed in reverse so that
    // they come off the stack in the export's order.
    const std::unordered_set<CKvtNodeBase*> differing = FindDifferingParents(pFirst, pSecond);
    std::vector<PairedChild_st> stack;
    stack.push_back(PairedChild_st{pFirst, pSecond, "/"});
    while (!stack.empty()) {
        PairedChild_st pair = std::move(stack.back());
        stack.pop_back();
        if (!pair.pSecond) {
            line("- " + pair.sPath);
            ++nLines;
            continue;
        }
        if (!pair.pFirst) {
            line("+ " + pair.sPath);
            ++nLines;
            continue;
        }
        const std::string sChange = Change(pair.pFirst, pair.pSecond);
        if (!sChange.empty()) {
            line("~ " + pair.sPath + ": " + sChange);
            ++nLines;
        }
        if (differing.count(pair.pFirst) == 0)
            continue;
        std::vector<PairedChild_st> children = PairChildren(pair.pFirst, pair.pSecond, pair.sPath);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back(std::move(*it));
    }
    return nLines;
}
