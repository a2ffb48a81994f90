// Writes the sample document shipped with the editor (samples/sample.kvt):
// a small item description with a value of every type, a nested struct and
// a list of structs.
// Usage: kvtmakesample OUTPUT

#include <cstdio>
#include <memory>

#include "KVTTreeNodes.h"
#include "orobase.h"
#include "ororesman.h"

namespace {

CKvtNodeBase* Add(CKvtNodeStruct* pParent, TKvtFieldType nType, const char* pLabel, const char* pValue)
{
    CKvtNodeBase* pNode = CreateKvtNode(nType);
    pNode->m_sLabel = pLabel;
    pNode->m_nIndex = pParent->GetChildCount();
    if (pValue)
        pNode->SetFromText(pValue);
    pParent->AddChild(pNode);
    return pNode;
}

void BuildSample(CKvtNodeTopLevelStruct* pRoot)
{
    pRoot->m_sFileType = "ITEM";
    pRoot->m_sVersion = "V3.2";
    Add(pRoot, ftRESREF, "TemplateResRef", "sample_item");
    Add(pRoot, ftSTRING, "Tag", "SAMPLE_ITEM");
    auto* pName = static_cast<CKvtNodeLOCSTRING*>(Add(pRoot, ftLOCSTRING, "LocalizedName", "-1"));
    pName->m_Value.AddString(0, "Sample Item", 0);
    pName->m_Value.AddString(2, "Objet exemple", 0);
    Add(pRoot, ftBYTE, "Charges", "3");
    Add(pRoot, ftCHAR, "Initial", "83");
    Add(pRoot, ftWORD, "Weight", "120");
    Add(pRoot, ftSHORT, "Modifier", "-2");
    Add(pRoot, ftDWORD, "Cost", "2500");
    Add(pRoot, ftINT, "Balance", "-40");
    Add(pRoot, ftDWORD64, "Serial", "0x1122334455667788");
    Add(pRoot, ftINT64, "Created", "-1");
    Add(pRoot, ftFLOAT, "Scale", "1.25");
    Add(pRoot, ftDOUBLE, "Precision", "0.1");
    auto* pBlob = static_cast<CKvtNodeBINARY*>(Add(pRoot, ftBINARY, "Checksum", nullptr));
    pBlob->m_pData = new uint8_t[4]{0xDE, 0xAD, 0xBE, 0xEF};
    pBlob->m_nDataSize = 4;
    CKvtNodeStruct* pLook = Add(pRoot, ftSTRUCT, "Appearance", nullptr)->GetStructNode();
    pLook->SetStructID(1);
    Add(pLook, ftBYTE, "Model", "7");
    Add(pLook, ftBYTE, "Color", "12");
    CKvtNodeStruct* pProps = Add(pRoot, ftLIST, "PropertiesList", nullptr)->GetStructNode();
    const char* names[] = {"Light", "Keen", "Blessed"};
    for (int32_t j = 0; j < 3; ++j) {
        CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
        pElement->m_nIndex = j;
        pElement->SetStructID(0);
        pProps->AddChild(pElement);
        Add(pElement->GetStructNode(), ftSTRING, "PropertyName", names[j]);
        Add(pElement->GetStructNode(), ftWORD, "Subtype", j == 0 ? "4" : "0");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: kvtmakesample OUTPUT\n");
        return 2;
    }
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
    int nExit = 0;
    {
        std::unique_ptr<CKvtNodeTopLevelStruct> pRoot(new CKvtNodeTopLevelStruct);
        BuildSample(pRoot.get());
        if (!pRoot->SaveDocument(argv[1])) {
            std::fprintf(stderr, "Could not write %s\n", argv[1]);
            nExit = 1;
        }
    }
    delete g_pOroResMan;
    g_pOroResMan = nullptr;
    delete g_pOroBase;
    g_pOroBase = nullptr;
    return nExit;
}
