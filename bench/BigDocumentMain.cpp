// Writes a large document for measuring how the editor copes with it.
// Usage: kvt_bigdoc OUTPUT [grid|wide]
//   grid  1,000 structs of 1,000 DWORD fields each under the root (1,001,001 nodes)
//   wide  1,000,000 DWORD fields directly under the root (1,000,001 nodes)

#include <cstdio>
#include <cstring>
#include <string>

#include "KVTTreeNodes.h"
#include "orobase.h"
#include "ororesman.h"

namespace {

CKvtNodeBase* AddDword(CKvtNodeStruct* pParent, const char* pLabel, int32_t nIndex)
{
    CKvtNodeBase* pNode = CreateKvtNode(ftDWORD);
    pNode->m_sLabel = pLabel;
    pNode->m_nIndex = nIndex;
    static_cast<CKvtNodeDWORD*>(pNode)->m_Value = static_cast<uint32_t>(nIndex) * 7u;
    pParent->AddChild(pNode);
    return pNode;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "grid") != 0 && std::strcmp(argv[2], "wide") != 0)) {
        std::fprintf(stderr, "Usage: kvt_bigdoc OUTPUT [grid|wide]\n");
        return 2;
    }
    const bool bWide = argc == 3 && std::strcmp(argv[2], "wide") == 0;
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
    int nExit = 0;
    {
        CKvtNodeTopLevelStruct root;
        root.m_sFileType = "BIG ";
        root.m_sVersion = "V3.2";
        char label[32];
        if (bWide) {
            for (int32_t i = 0; i < 1000000; ++i) {
                std::snprintf(label, sizeof label, "F%07d", i);
                AddDword(&root, label, i);
            }
        } else {
            for (int32_t s = 0; s < 1000; ++s) {
                CKvtNodeBase* pStruct = CreateKvtNode(ftSTRUCT);
                std::snprintf(label, sizeof label, "S%04d", s);
                pStruct->m_sLabel = label;
                pStruct->m_nIndex = s;
                root.AddChild(pStruct);
                for (int32_t f = 0; f < 1000; ++f) {
                    std::snprintf(label, sizeof label, "F%04d", f);
                    AddDword(pStruct->GetStructNode(), label, f);
                }
            }
        }
        if (!root.SaveDocument(argv[1])) {
            std::fprintf(stderr, "kvt_bigdoc: could not write %s\n", argv[1]);
            nExit = 1;
        }
    }
    delete g_pOroResMan;
    delete g_pOroBase;
    return nExit;
}
