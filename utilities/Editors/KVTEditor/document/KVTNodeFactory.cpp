#include "KVTTreeNodes.h"

CKvtNodeBase* CreateKvtNode(TKvtFieldType nType)
{
    switch (nType) {
    case ftTOPLEVELSTRUCT: return new CKvtNodeTopLevelStruct;
    case ftBYTE: return new CKvtNodeBYTE;
    case ftCHAR: return new CKvtNodeCHAR;
    case ftWORD: return new CKvtNodeWORD;
    case ftSHORT: return new CKvtNodeSHORT;
    case ftDWORD: return new CKvtNodeDWORD;
    case ftINT: return new CKvtNodeINT;
    case ftDWORD64: return new CKvtNodeDWORD64;
    case ftINT64: return new CKvtNodeINT64;
    case ftFLOAT: return new CKvtNodeFLOAT;
    case ftDOUBLE: return new CKvtNodeDOUBLE;
    case ftSTRING: return new CKvtNodeSTRING;
    case ftRESREF: return new CKvtNodeRESREF;
    case ftLOCSTRING: return new CKvtNodeLOCSTRING;
    case ftBINARY: return new CKvtNodeBINARY;
    case ftSTRUCT:
    case ftLIST: return new CKvtNodeStruct(nType);
    }
    return nullptr;
}

CKvtNodeBase* CloneKvtNode(CKvtNodeBase* pSource)
{
    if (!pSource) {
        OroWarning("KVTTreeNodes", 40, "CloneKvtNode: no node to copy");
        return nullptr;
    }
    CKvtNodeBase* pCopy = CreateKvtNode(pSource->GetType());
    if (pCopy)
        pCopy->CopyFrom(pSource);
    return pCopy;
}
