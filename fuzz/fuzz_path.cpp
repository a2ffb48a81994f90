// libFuzzer target: the node path parser. Whatever it accepts must be the
// one written form of its steps (formatting them gives the input back), and
// a path that names a node of the fixed document below must be that node's
// own path.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "KVTNodePath.h"
#include "fuzzreporthandler.h"

namespace {

CKvtNodeBase* Add(CKvtNodeStruct* pParent, TKvtFieldType nType, const char* pLabel)
{
    CKvtNodeBase* pNode = CreateKvtNode(nType);
    pNode->m_sLabel = pLabel;
    pParent->AddChild(pNode);
    return pNode;
}

// Labels that need every rule of the escape, repeats, lists in lists.
CKvtNodeTopLevelStruct* MakeDocument()
{
    auto* pRoot = new CKvtNodeTopLevelStruct;
    for (const char* pLabel : {"Name", "Name", "", "", "a/b", "x\n", "\\e", "{1}", "\xE9t\xE9", "e"})
        Add(pRoot, ftBYTE, pLabel);
    CKvtNodeStruct* pItems = Add(pRoot, ftLIST, "Items")->GetStructNode();
    for (int i = 0; i < 12; ++i) {
        CKvtNodeStruct* pElement = Add(pItems, ftSTRUCT, "")->GetStructNode();
        Add(pElement, ftINT, "Weight");
        Add(Add(pElement, ftLIST, "L")->GetStructNode(), ftLIST, "");
    }
    return pRoot;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static CKvtNodeTopLevelStruct* s_pDocument = []() {
        CFuzzReportHandler::Install();
        return MakeDocument();
    }();
    const std::string_view sText(reinterpret_cast<const char*>(pData), nSize);
    std::vector<KvtPathStep_st> steps;
    size_t nErrorOffset = 0;
    if (!ParseNodePath(sText, steps, &nErrorOffset)) {
        if (nErrorOffset > nSize)
            std::abort();  // the reported position must lie inside the text
        return 0;
    }
    if (FormatNodePath(steps) != sText)
        std::abort();
    const KvtPathLookup_st lookup = ResolveNodePath(s_pDocument, sText);
    if (lookup.pNode && GetNodePath(FindNodeChain(s_pDocument, lookup.pNode)) != sText)
        std::abort();
    if (!lookup.pNode && (lookup.nError != TKvtPathError::NotFound || lookup.nOffset >= nSize))
        std::abort();
    return 0;
}
