#include "KVTNodePath.h"

#include <limits>
#include <string_view>
#include <unordered_map>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Children counts are signed 32-bit, so no position or occurrence beyond this.
constexpr uint32_t kMaxNumber = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());

bool IsEscapedAsItself(unsigned char c)
{
    return c == '/' || c == '[' || c == ']' || c == '{' || c == '}' || c == '\\';
}

bool IsWrittenAsHex(unsigned char c)
{
    return c < 0x20 || c >= 0x7F;
}

std::string_view LabelOf(CKvtNodeBase* pNode)
{
    return std::string_view(pNode->m_sLabel.CStr(), static_cast<size_t>(pNode->m_sLabel.GetLength()));
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;  // lower-case digits are not the accepted form
}

// Reads a decimal number without leading zeros (except "0" itself) at nPos.
bool ReadNumber(std::string_view sText, size_t& nPos, uint32_t& nValue)
{
    const size_t nStart = nPos;
    uint64_t n = 0;
    while (nPos < sText.size() && sText[nPos] >= '0' && sText[nPos] <= '9') {
        n = n * 10 + static_cast<uint64_t>(sText[nPos] - '0');
        if (n > kMaxNumber)
            return false;
        ++nPos;
    }
    if (nPos == nStart || (sText[nStart] == '0' && nPos - nStart > 1))
        return false;
    nValue = static_cast<uint32_t>(n);
    return true;
}

// Reads an escaped label up to the next unescaped '/', '[', '{' or the end.
bool ReadLabel(std::string_view sText, size_t& nPos, std::string& sLabel)
{
    const size_t nStart = nPos;
    bool bEmptyMark = false;
    while (nPos < sText.size()) {
        const unsigned char c = static_cast<unsigned char>(sText[nPos]);
        if (c == '/' || c == '[' || c == '{')
            break;
        if (c == ']' || c == '}' || IsWrittenAsHex(c) || bEmptyMark)
            return false;
        if (c != '\\') {
            sLabel += static_cast<char>(c);
            ++nPos;
            continue;
        }
        if (nPos + 1 >= sText.size())
            return false;
        const unsigned char e = static_cast<unsigned char>(sText[nPos + 1]);
        if (IsEscapedAsItself(e)) {
            sLabel += static_cast<char>(e);
            nPos += 2;
        } else if (e == 'e' && nPos == nStart) {
            bEmptyMark = true;  // "\e" stands alone: nothing may follow it in the label
            nPos += 2;
        } else if (e == 'x' && nPos + 3 < sText.size() && HexValue(sText[nPos + 2]) >= 0 &&
                   HexValue(sText[nPos + 3]) >= 0) {
            const unsigned char b = static_cast<unsigned char>(HexValue(sText[nPos + 2]) * 16 + HexValue(sText[nPos + 3]));
            if (!IsWrittenAsHex(b) || b == 0)
                return false;  // a byte with a shorter form, or one no label holds
            sLabel += static_cast<char>(b);
            nPos += 4;
        } else {
            return false;
        }
    }
    // A label is "\e" or at least one byte.
    return bEmptyMark || !sLabel.empty();
}

bool Fail(size_t nPos, size_t* pErrorOffset)
{
    if (pErrorOffset)
        *pErrorOffset = nPos;
    return false;
}

} // namespace

void AppendEscapedLabel(const char* pLabel, std::string& sOut)
{
    if (!pLabel || *pLabel == '\0') {
        sOut += "\\e";
        return;
    }
    for (const char* p = pLabel; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (IsEscapedAsItself(c)) {
            sOut += '\\';
            sOut += static_cast<char>(c);
        } else if (IsWrittenAsHex(c)) {
            sOut += "\\x";
            sOut += kHexDigits[c >> 4];
            sOut += kHexDigits[c & 0x0F];
        } else {
            sOut += static_cast<char>(c);
        }
    }
}

bool IsPositionalParent(CKvtNodeBase* pParent)
{
    return pParent->GetType() == ftLIST;
}

std::vector<uint32_t> GetLabelOccurrences(CKvtNodeStruct* pParent)
{
    const int32_t nCount = pParent->GetChildCount();
    std::vector<uint32_t> occurrences(static_cast<size_t>(nCount), 1);
    if (nCount < 2)
        return occurrences;
    std::unordered_map<std::string_view, uint32_t> seen;
    seen.reserve(static_cast<size_t>(nCount));
    for (int32_t i = 0; i < nCount; ++i)
        occurrences[static_cast<size_t>(i)] = ++seen[LabelOf(pParent->GetChild(i))];
    return occurrences;
}

void AppendChildStep(CKvtNodeStruct* pParent, int32_t nPosition, uint32_t nOccurrence, std::string& sOut)
{
    if (IsPositionalParent(pParent)) {
        sOut += '[';
        sOut += std::to_string(nPosition);
        sOut += ']';
        return;
    }
    sOut += '/';
    AppendEscapedLabel(pParent->GetChild(nPosition)->m_sLabel.CStr(), sOut);
    if (nOccurrence >= 2) {
        sOut += '{';
        sOut += std::to_string(nOccurrence);
        sOut += '}';
    }
}

bool ParseNodePath(std::string_view sText, std::vector<KvtPathStep_st>& steps, size_t* pErrorOffset)
{
    steps.clear();
    if (sText.empty() || sText[0] != '/')
        return Fail(0, pErrorOffset);
    if (sText.size() == 1)
        return true;
    size_t nPos = 0;
    while (nPos < sText.size()) {
        if (sText[nPos] == '[') {
            // An element follows a field or another element, never the root.
            ++nPos;
            KvtPathStep_st step;
            step.bElement = true;
            if (steps.empty() || !ReadNumber(sText, nPos, step.nPosition) || nPos >= sText.size() || sText[nPos] != ']')
                return Fail(nPos, pErrorOffset);
            ++nPos;
            steps.push_back(std::move(step));
            continue;
        }
        if (sText[nPos] != '/')
            return Fail(nPos, pErrorOffset);
        ++nPos;
        KvtPathStep_st step;
        if (!ReadLabel(sText, nPos, step.sLabel))
            return Fail(nPos, pErrorOffset);
        if (nPos < sText.size() && sText[nPos] == '{') {
            ++nPos;
            if (!ReadNumber(sText, nPos, step.nOccurrence) || step.nOccurrence < 2 || nPos >= sText.size() ||
                sText[nPos] != '}')
                return Fail(nPos, pErrorOffset);
            ++nPos;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

std::string FormatNodePath(const std::vector<KvtPathStep_st>& steps)
{
    if (steps.empty())
        return "/";
    std::string sOut;
    for (const KvtPathStep_st& step : steps) {
        if (step.bElement) {
            sOut += '[';
            sOut += std::to_string(step.nPosition);
            sOut += ']';
            continue;
        }
        sOut += '/';
        AppendEscapedLabel(step.sLabel.c_str(), sOut);
        if (step.nOccurrence >= 2) {
            sOut += '{';
            sOut += std::to_string(step.nOccurrence);
            sOut += '}';
        }
    }
    return sOut;
}

std::string GetNodePath(const std::vector<CKvtNodeBase*>& chain)
{
    if (chain.empty())
        return std::string();
    if (chain.size() == 1)
        return "/";
    std::string sOut;
    for (size_t i = 1; i < chain.size(); ++i) {
        CKvtNodeStruct* pParent = chain[i - 1]->GetStructNode();
        if (!pParent)
            return std::string();
        // Looked for from the end: a node that a load walk is reading is the
        // last child of its parent, so a list of many elements that each
        // raise a warning costs no pass over the elements before.
        int32_t nPosition = pParent->GetChildCount() - 1;
        while (nPosition >= 0 && pParent->GetChild(nPosition) != chain[i])
            --nPosition;
        if (nPosition < 0)
            return std::string();
        uint32_t nOccurrence = 1;
        if (!IsPositionalParent(pParent)) {
            const std::string_view sLabel = LabelOf(chain[i]);
            for (int32_t j = 0; j < nPosition; ++j) {
                if (LabelOf(pParent->GetChild(j)) == sLabel)
                    ++nOccurrence;
            }
        }
        AppendChildStep(pParent, nPosition, nOccurrence, sOut);
    }
    return sOut;
}

std::vector<CKvtNodeBase*> FindNodeChain(CKvtNodeBase* pRoot, CKvtNodeBase* pNode)
{
    std::vector<CKvtNodeBase*> chain;
    if (!pRoot || !pNode)
        return chain;
    // The walk keeps, per level, the node and the next child to visit; the
    // levels on the stack are exactly the chain to the node being looked at.
    struct CLevel {
        CKvtNodeBase* pNode;
        int32_t nNext;
    };
    std::vector<CLevel> stack{CLevel{pRoot, 0}};
    while (!stack.empty()) {
        CLevel& top = stack.back();
        if (top.pNode == pNode) {
            for (const CLevel& level : stack)
                chain.push_back(level.pNode);
            return chain;
        }
        CKvtNodeStruct* pStruct = top.pNode->GetStructNode();
        if (!pStruct || top.nNext >= pStruct->GetChildCount()) {
            stack.pop_back();
            continue;
        }
        CKvtNodeBase* pChild = pStruct->GetChild(top.nNext++);
        stack.push_back(CLevel{pChild, 0});
    }
    return chain;
}

KvtPathLookup_st ResolveNodePath(CKvtNodeBase* pRoot, std::string_view sText)
{
    KvtPathLookup_st result;
    std::vector<KvtPathStep_st> steps;
    if (!ParseNodePath(sText, steps, &result.nOffset)) {
        result.nError = TKvtPathError::Syntax;
        return result;
    }
    CKvtNodeBase* pNode = pRoot;
    size_t nStepOffset = 0;
    for (const KvtPathStep_st& step : steps) {
        CKvtNodeStruct* pStruct = pNode ? pNode->GetStructNode() : nullptr;
        CKvtNodeBase* pNext = nullptr;
        if (pStruct && step.bElement == IsPositionalParent(pStruct)) {
            if (step.bElement) {
                if (step.nPosition < static_cast<uint32_t>(pStruct->GetChildCount()))
                    pNext = pStruct->GetChild(static_cast<int32_t>(step.nPosition));
            } else {
                uint32_t nSeen = 0;
                const int32_t nCount = pStruct->GetChildCount();
                for (int32_t j = 0; j < nCount && !pNext; ++j) {
                    CKvtNodeBase* pChild = pStruct->GetChild(j);
                    if (LabelOf(pChild) == step.sLabel && ++nSeen == step.nOccurrence)
                        pNext = pChild;
                }
            }
        }
        if (!pNext) {
            result.nError = TKvtPathError::NotFound;
            result.nOffset = nStepOffset;
            return result;
        }
        pNode = pNext;
        // The offset of the next step: the length of the path so far.
        nStepOffset += FormatNodePath({step}).size();
    }
    result.pNode = pNode;
    return result;
}
