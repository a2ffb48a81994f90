#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DocumentTestSupport.h"
#include "KVTCaption.h"
#include "KVTExport.h"

namespace {

std::string Caption(CKvtNodeBase* pNode, bool bPreview)
{
    return GetNodeCaption(pNode, bPreview).CStr();
}

} // namespace

TEST(Caption, NamesAndTypesArePaddedIntoColumns)
{
    CKvtNodeStruct parent(ftSTRUCT);
    CKvtNodeBase* pFlag = AddNode(&parent, ftBYTE, "Flag");
    EXPECT_EQ(Caption(pFlag, false), "Flag             [BYTE]      ");
    EXPECT_EQ(Caption(pFlag, false).size(), 29u);
    pFlag->SetFromText("1");
    EXPECT_EQ(Caption(pFlag, true), "Flag             [BYTE]       = 1");
    CKvtNodeBase* pLong = AddNode(&parent, ftINT, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(Caption(pLong, false), "ABCDEFGHIJKLMNOP [INT]       ");
    CKvtNodeTopLevelStruct root;
    EXPECT_EQ(Caption(&root, false), "-1               [TopLevelStruct]");
    CKvtNodeBase* pElement = AddNode(&parent, ftSTRUCT, "", 3);
    EXPECT_EQ(Caption(pElement, true), "3                [User-defined Struct: 0] = ...");
}

TEST(Caption, CharsPreviewTheirCharacter)
{
    CKvtNodeStruct parent(ftSTRUCT);
    CKvtNodeBase* pChar = AddNode(&parent, ftCHAR, "c");
    pChar->SetFromText("65");
    EXPECT_EQ(Caption(pChar, true), "c                [CHAR]       = 65  { A }");
    pChar->SetFromText("-3");
    EXPECT_EQ(Caption(pChar, true), "c                [CHAR]       = -3");
    pChar->SetFromText("0");
    // The caption ends at the zero byte.
    EXPECT_EQ(Caption(pChar, true), "c                [CHAR]       = 0  { ");
    pChar->SetFromText("10");
    EXPECT_EQ(Caption(pChar, true), "c                [CHAR]       = 10  { \n }");
}

TEST(Caption, FieldsSortByLabelWithoutRegardToCase)
{
    CKvtNodeStruct parent(ftSTRUCT);
    for (const char* pLabel : {"beta", "Alpha", "gamma", "alpha", "Beta"})
        AddNode(&parent, ftBYTE, pLabel);
    std::vector<std::string> labels;
    for (const KvtCaptionedNode_st& child : GetSortedChildren(&parent, false))
        labels.push_back(child.pNode->m_sLabel.CStr());
    EXPECT_EQ(labels, (std::vector<std::string>{"alpha", "Alpha", "beta", "Beta", "gamma"}));
}

TEST(Export, WritesTheSortedTreeWithTabsAndCrLf)
{
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot(new CKvtNodeTopLevelStruct);
    pRoot->m_sFileType = "ABCD";
    CKvtNodeStruct* pItems = AddNode(pRoot.get(), ftLIST, "Items")->GetStructNode();
    AddNode(pRoot.get(), ftBYTE, "Flag")->SetFromText("1");
    CKvtNodeStruct* pElement = AddNode(pItems, ftSTRUCT, "", 0)->GetStructNode();
    pElement->SetStructID(3);
    AddNode(pElement, ftSTRING, "Name")->SetFromText("a name that is longer than thirty-two characters");
    // Read back from a file, as the editor would show it.
    std::unique_ptr<CKvtNodeTopLevelStruct> pLoaded(LoadBytes(SaveToBytes(pRoot.get())));
    const std::string sText = BuildExportText(pLoaded.get());
    EXPECT_EQ(sText,
              "-1               [TopLevelStruct] = Type:ABCD Ver:V3.2\r\n"
              "\tFlag             [BYTE]       = 1\r\n"
              "\tItems            [List]       = ...\r\n"
              "\t\t0                [User-defined Struct: 3] = ...\r\n"
              "\t\t\tName             [COroString] = a name that is longer than thirt\r\n");
    EXPECT_EQ(BuildExportText(pLoaded.get()), sText);
    EXPECT_EQ(BuildExportText(nullptr), "");
}
