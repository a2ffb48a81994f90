#include "BenchDocumentGenerator.h"

#include <vector>

namespace {

// Nested lists and structs stop at this depth below a top-level element.
constexpr int32_t kMaxNesting = 3;
constexpr int32_t kTopLevelLists = 4;

const char* const kWords[] = {
    "Tag",       "Name",      "Comment",    "Appearance", "Portrait",   "Conversation", "Faction",   "Race",
    "Gender",    "Class",     "Level",      "HitPoints",  "Strength",   "Dexterity",    "Wisdom",    "Charisma",
    "Script",    "OnSpawn",   "OnDeath",    "OnHeart",    "Template",   "Description",  "LocName",   "Plot",
    "Cursed",    "Stolen",    "Identified", "Charges",    "Cost",       "AddCost",      "StackSize", "BaseItem",
    "ModelPart", "Color",     "XPosition",  "YPosition",  "ZPosition",  "XOrientation", "Bearing",   "Locked",
    "KeyName",   "OpenState", "TrapType",   "TrapFlag",   "Animation",  "SoundSet",     "Voice",     "Subrace",
    "Deity",     "Alignment", "Morale",     "Speed",      "Perception", "Challenge",    "Lootable",  "Interrupt",
    "Priority",  "Variable",  "Value",      "Type",       "Flags",      "Version",      "Effect",    "Duration"};

} // namespace

CBenchDocumentGenerator::CBenchDocumentGenerator(uint64_t nSeed) : m_Random(nSeed), m_Leaves(m_Random) {}

std::unique_ptr<CKvtNodeTopLevelStruct> CBenchDocumentGenerator::NewRoot()
{
    auto pRoot = std::make_unique<CKvtNodeTopLevelStruct>();
    pRoot->m_sFileType = "BNCH";
    pRoot->m_sVersion = "V3.2";
    return pRoot;
}

std::string CBenchDocumentGenerator::NewLabel(std::set<std::string>& used)
{
    std::string sLabel = kWords[m_Random.Between(0, static_cast<int64_t>(std::size(kWords)) - 1)];
    if (!used.insert(sLabel).second) {
        const std::string sBase = sLabel;
        for (int32_t n = 1; !used.insert(sLabel).second; ++n)
            sLabel = sBase + std::to_string(n);
    }
    return sLabel;
}

void CBenchDocumentGenerator::AddChild(CKvtNodeStruct* pParent, CKvtNodeBase* pChild, const std::string& sLabel,
                                       int32_t nIndex)
{
    pChild->m_sLabel = sLabel.c_str();
    pChild->m_nIndex = nIndex;
    pParent->AddChild(pChild);
}

int64_t CBenchDocumentGenerator::FillStruct(CKvtNodeStruct* pStruct, int32_t nDepth)
{
    int64_t nMade = 0;
    std::set<std::string> used;
    const int32_t nFields = static_cast<int32_t>(m_Random.Between(5, 30));
    for (int32_t i = 0; i < nFields; ++i) {
        const std::string sLabel = NewLabel(used);
        const uint64_t nRoll = m_Random.Between(0, 99);
        if (nDepth < kMaxNesting && nRoll < 3) {
            CKvtNodeBase* pList = CreateKvtNode(ftLIST);
            AddChild(pStruct, pList, sLabel, i);
            nMade += 1 + FillList(pList->GetStructNode(), nDepth + 1, m_Random.Between(1, 4));
        } else if (nDepth < kMaxNesting && nRoll < 6) {
            CKvtNodeBase* pChild = CreateKvtNode(ftSTRUCT);
            pChild->SetStructID(static_cast<uint32_t>(m_Random.Between(0, 50)));
            AddChild(pStruct, pChild, sLabel, i);
            nMade += 1 + FillStruct(pChild->GetStructNode(), nDepth + 1);
        } else {
            AddChild(pStruct, m_Leaves.MakeLeaf(m_Leaves.PickLeafType()), sLabel, i);
            ++nMade;
        }
    }
    return nMade;
}

int64_t CBenchDocumentGenerator::FillList(CKvtNodeStruct* pList, int32_t nDepth, int64_t nElements)
{
    int64_t nMade = 0;
    for (int64_t j = 0; j < nElements; ++j) {
        CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
        pElement->SetStructID(static_cast<uint32_t>(m_Random.Between(0, 50)));
        pElement->m_nIndex = static_cast<int32_t>(j);
        pList->AddChild(pElement);
        nMade += 1 + FillStruct(pElement->GetStructNode(), nDepth);
    }
    return nMade;
}

std::unique_ptr<CKvtNodeTopLevelStruct> CBenchDocumentGenerator::MakeNested(int64_t nNodes)
{
    auto pRoot = NewRoot();
    int64_t nMade = 1;
    std::set<std::string> used;
    int32_t nIndex = 0;
    // A few plain fields, then the lists that hold the bulk of the document.
    for (; nIndex < 10; ++nIndex, ++nMade)
        AddChild(pRoot.get(), m_Leaves.MakeLeaf(m_Leaves.PickLeafType()), NewLabel(used), nIndex);
    std::vector<CKvtNodeStruct*> lists;
    for (int32_t l = 0; l < kTopLevelLists; ++l, ++nIndex, ++nMade) {
        CKvtNodeBase* pList = CreateKvtNode(ftLIST);
        AddChild(pRoot.get(), pList, NewLabel(used) + "List", nIndex);
        lists.push_back(pList->GetStructNode());
    }
    for (int64_t nElement = 0; nMade < nNodes; ++nElement) {
        CKvtNodeStruct* pList = lists[static_cast<size_t>(nElement % kTopLevelLists)];
        CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
        pElement->SetStructID(static_cast<uint32_t>(m_Random.Between(0, 50)));
        pElement->m_nIndex = pList->GetChildCount();
        pList->AddChild(pElement);
        nMade += 1 + FillStruct(pElement->GetStructNode(), 0);
    }
    return pRoot;
}

std::unique_ptr<CKvtNodeTopLevelStruct> CBenchDocumentGenerator::MakeWide(int32_t nFields)
{
    auto pRoot = NewRoot();
    for (int32_t i = 0; i < nFields; ++i) {
        const std::string sLabel = "Field" + std::to_string(i);
        AddChild(pRoot.get(), m_Leaves.MakeLeaf(m_Leaves.PickLeafType()), sLabel, i);
    }
    return pRoot;
}

std::unique_ptr<CKvtNodeTopLevelStruct> CBenchDocumentGenerator::MakeAlternating(int32_t nFields)
{
    auto pRoot = NewRoot();
    for (int32_t i = 0; i < nFields; ++i) {
        const std::string sLabel = (i % 2 == 0 ? "Leaf" : "Sub") + std::to_string(i / 2);
        if (i % 2 == 0) {
            AddChild(pRoot.get(), m_Leaves.MakeLeaf(m_Leaves.PickLeafType()), sLabel, i);
            continue;
        }
        CKvtNodeBase* pStruct = CreateKvtNode(ftSTRUCT);
        pStruct->SetStructID(static_cast<uint32_t>(i));
        AddChild(pRoot.get(), pStruct, sLabel, i);
        AddChild(pStruct->GetStructNode(), m_Leaves.MakeLeaf(ftINT), "X", 0);
        AddChild(pStruct->GetStructNode(), m_Leaves.MakeLeaf(ftSTRING), "Y", 1);
    }
    return pRoot;
}

std::unique_ptr<CKvtNodeTopLevelStruct> CBenchDocumentGenerator::MakeFlat(int64_t nLeaves, bool bLocStrings)
{
    constexpr int32_t kFieldsPerStruct = 20;
    auto pRoot = NewRoot();
    CKvtNodeBase* pList = CreateKvtNode(ftLIST);
    AddChild(pRoot.get(), pList, "Entries", 0);
    const int64_t nStructs = (nLeaves + kFieldsPerStruct - 1) / kFieldsPerStruct;
    for (int64_t s = 0; s < nStructs; ++s) {
        CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
        pElement->m_nIndex = static_cast<int32_t>(s);
        pList->GetStructNode()->AddChild(pElement);
        for (int32_t f = 0; f < kFieldsPerStruct; ++f) {
            const TKvtFieldType nType = bLocStrings ? ftLOCSTRING : m_Leaves.PickPlainLeafType();
            AddChild(pElement->GetStructNode(), m_Leaves.MakeLeaf(nType), kWords[f], f);
        }
    }
    return pRoot;
}

int64_t CBenchDocumentGenerator::CountNodes(CKvtNodeBase* pRoot)
{
    int64_t nCount = 0;
    std::vector<CKvtNodeBase*> pending{pRoot};
    while (!pending.empty()) {
        CKvtNodeBase* pNode = pending.back();
        pending.pop_back();
        ++nCount;
        if (CKvtNodeStruct* pStruct = pNode->GetStructNode()) {
            for (int32_t i = 0; i < pStruct->GetChildCount(); ++i)
                pending.push_back(pStruct->GetChild(i));
        }
    }
    return nCount;
}
