// Writes the seed corpus of fuzz_document through the document API, as the
// editor would save them: every value type, nesting through structs and
// lists, labels shared within a struct and of full length, localized strings
// of many languages, any node under a list, and deep nesting.
// Usage: fuzz_make_document_seeds OUTPUT_FOLDER

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "KVTTreeNodes.h"
#include "orobase.h"
#include "KvtHostileShapes.h"
#include "ororesman.h"

namespace {

using TFill = std::function<void(CKvtNodeTopLevelStruct&)>;

CKvtNodeBase* Add(CKvtNodeStruct* pParent, TKvtFieldType nType, const char* pLabel, const char* pValue = nullptr)
{
    CKvtNodeBase* pNode = CreateKvtNode(nType);
    pNode->m_sLabel = pLabel;
    pParent->AssignNextIndex(pNode);
    if (pValue)
        pNode->SetFromText(pValue);
    pParent->AddChild(pNode);
    return pNode;
}

CKvtNodeStruct* AddStruct(CKvtNodeStruct* pParent, TKvtFieldType nType, const char* pLabel, uint32_t nStructID)
{
    CKvtNodeBase* pNode = Add(pParent, nType, pLabel);
    pNode->SetStructID(nStructID);
    return pNode->GetStructNode();
}

void EveryType(CKvtNodeTopLevelStruct& root)
{
    const char* values[] = {"255", "-1", "65535", "-2", "4000000000", "-3", "0xFFFFFFFFFFFFFFFF", "-4",
                            "1.5", "0.1", "text value", "Res_Name", "42", ""};
    const char* labels[] = {"byte", "char", "word", "short", "dword", "int", "dword64",
                            "int64", "float", "double", "string", "resref", "locstring", "binary"};
    for (int32_t nType = ftBYTE; nType <= ftBINARY; ++nType)
        Add(&root, static_cast<TKvtFieldType>(nType), labels[nType], values[nType]);
    auto* pLoc = static_cast<CKvtNodeLOCSTRING*>(root.GetChild(ftLOCSTRING));
    pLoc->m_Value.AddString(0, "neutral", 0);
    pLoc->m_Value.AddString(3, "feminine", 1);
    auto* pBinary = static_cast<CKvtNodeBINARY*>(root.GetChild(ftBINARY));
    pBinary->m_pData = new uint8_t[5]{0, 1, 0x7F, 0xFE, 0xFF};
    pBinary->m_nDataSize = 5;
    CKvtNodeStruct* pInner = AddStruct(&root, ftSTRUCT, "struct", 5);
    Add(pInner, ftINT, "inner", "6");
    CKvtNodeStruct* pList = AddStruct(&root, ftLIST, "list", 0);
    for (uint32_t i = 0; i < 3; ++i)
        Add(AddStruct(pList, ftSTRUCT, "", i), ftINT, "n", std::to_string(i).c_str());
}

void NestedLists(CKvtNodeTopLevelStruct& root)
{
    CKvtNodeStruct* pOuter = AddStruct(&root, ftLIST, "outer", 0);
    for (uint32_t i = 0; i < 3; ++i) {
        CKvtNodeStruct* pInner = AddStruct(AddStruct(pOuter, ftSTRUCT, "", i), ftLIST, "inner", 0);
        for (uint32_t j = 0; j <= i; ++j)
            Add(AddStruct(pInner, ftSTRUCT, "", 10 * i + j), ftWORD, "w", "7");
    }
    AddStruct(&root, ftLIST, "empty", 0);
    Add(&root, ftBYTE, "after", "1");  // moves the top-level field array
}

void SharedLabels(CKvtNodeTopLevelStruct& root)
{
    // Only the first of namesakes is ever read back: the others repeat it.
    Add(&root, ftINT, "same", "1");
    Add(&root, ftSTRING, "same", "second");
    Add(AddStruct(&root, ftSTRUCT, "twin", 3), ftINT, "x", "1");
    Add(AddStruct(&root, ftSTRUCT, "twin", 4), ftINT, "y", "2");
    Add(AddStruct(AddStruct(&root, ftLIST, "pair", 0), ftSTRUCT, "", 1), ftBYTE, "b", "1");
    AddStruct(AddStruct(&root, ftLIST, "pair", 0), ftSTRUCT, "", 2);
    Add(&root, ftINT, "ABCDEFGHIJKLMNOP", "16");
    Add(&root, ftINT, "abcdefghijklmnopq", "17");
}

void LocStrings(CKvtNodeTopLevelStruct& root)
{
    Add(&root, ftLOCSTRING, "empty", "-1");
    auto* pMany = static_cast<CKvtNodeLOCSTRING*>(Add(&root, ftLOCSTRING, "many", "1234"));
    for (int32_t nLanguage = 0; nLanguage < 6; ++nLanguage)
        pMany->m_Value.AddString(nLanguage, "text", 1);
    pMany->m_Value.AddString(-1, "negative", 0);
    pMany->m_Value.AddString(7, "word<<STRREF:12>>", 0);
}

void AnythingInAList(CKvtNodeTopLevelStruct& root)
{
    CKvtNodeStruct* pList = AddStruct(&root, ftLIST, "mixed", 0);
    Add(pList, ftBYTE, "leaf", "5");
    Add(AddStruct(pList, ftLIST, "inner", 0), ftSTRUCT, "", 0)->SetStructID(4);
    Add(AddStruct(pList, ftSTRUCT, "", 9), ftDOUBLE, "d", "-2.5e300");
}

void DeepNesting(CKvtNodeTopLevelStruct& root)
{
    CKvtNodeStruct* pTip = &root;
    for (uint32_t i = 0; i < 40; ++i)
        pTip = AddStruct(pTip, i % 2 ? ftLIST : ftSTRUCT, "n", i);
    Add(pTip, ftINT, "v", "9");
}

void WideStruct(CKvtNodeTopLevelStruct& root)
{
    for (int i = 0; i < 30; ++i) {
        const std::string sLabel = "f" + std::to_string(i % 25);
        if (i % 5 == 4)
            Add(AddStruct(&root, ftSTRUCT, sLabel.c_str(), static_cast<uint32_t>(i)), ftCHAR, "c", "-5");
        else
            Add(&root, ftFLOAT, sLabel.c_str(), std::to_string(i * 0.25).c_str());
    }
}

void Empty(CKvtNodeTopLevelStruct&) {}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
    const std::vector<std::pair<std::string, TFill>> seeds = {
        {"empty", Empty},           {"every_type", EveryType},   {"nested_lists", NestedLists},
        {"shared_labels", SharedLabels}, {"locstrings", LocStrings}, {"anything_in_a_list", AnythingInAList},
        {"deep_nesting", DeepNesting}, {"wide_struct", WideStruct},
    };
    int nStatus = 0;
    for (const auto& [sName, fill] : seeds) {
        CKvtNodeTopLevelStruct root;
        root.m_sFileType = "DOC ";
        root.m_sVersion = "V3.2";
        fill(root);
        const std::string sPath = std::string(argv[1]) + "/" + sName + ".kvt";
        if (!root.SaveDocument(sPath.c_str())) {
            std::fprintf(stderr, "could not write %s\n", sPath.c_str());
            nStatus = 1;
        }
    }
    // Crafted files the writer never makes: records sharing one value,
    // localized strings of many entries.
    if (!CKvtHostileShapes::WriteSeeds(argv[1])) {
        std::fprintf(stderr, "could not write the crafted seeds into %s\n", argv[1]);
        nStatus = 1;
    }
    delete g_pOroResMan;
    g_pOroResMan = nullptr;
    delete g_pOroBase;
    g_pOroBase = nullptr;
    return nStatus;
}
