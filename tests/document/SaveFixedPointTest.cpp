// Saving what was opened must settle: reopening a saved file and saving it
// again gives the same bytes, also for the trees that the format cannot hold
// exactly. Lists that share a label with an earlier field of their struct are
// such trees: elements are always appended to the first field with the label,
// so a namesake list's own elements cannot be stored. A file type the editor
// would refuse to open is not saved at all.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>

#include "DocumentTestSupport.h"
#include "KVTFileChecks.h"
#include "TempDir.h"
#include "ororeportrecorder.h"

namespace {

using Root = std::unique_ptr<CKvtNodeTopLevelStruct>;

Root NewRoot()
{
    Root pRoot(new CKvtNodeTopLevelStruct);
    pRoot->m_sFileType = "FIXP";
    pRoot->m_sVersion = "V3.2";
    return pRoot;
}

CKvtNodeStruct* AddList(CKvtNodeStruct* pParent, const char* pLabel, int32_t nElements, uint32_t nFirstID)
{
    CKvtNodeStruct* pList = AddNode(pParent, ftLIST, pLabel)->GetStructNode();
    for (int32_t j = 0; j < nElements; ++j) {
        CKvtNodeBase* pElement = AddNode(pList, ftSTRUCT, "", j);
        pElement->SetStructID(nFirstID + static_cast<uint32_t>(j));
        AddNode(pElement->GetStructNode(), ftINT, "v", 0)->SetFromText(std::to_string(nFirstID + j).c_str());
    }
    return pList;
}

} // namespace

TEST(SaveFixedPoint, ANamesakeListAddsNothingToTheFirstList)
{
    COroReportRecorder recorder;
    Root pRoot = NewRoot();
    AddList(pRoot.get(), "pair", 2, 10);
    AddList(pRoot.get(), "pair", 3, 20);
    bool bOk = false;
    const std::vector<uint8_t> first = SaveToBytes(pRoot.get(), &bOk);
    ASSERT_TRUE(bOk);
    // One warning: the namesake's three elements could not be saved.
    ASSERT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
    EXPECT_EQ(recorder.Reports()[0].line, 404);
    EXPECT_EQ(recorder.Reports()[0].message,
              "List 'pair' shares its label with an earlier field; its elements are not saved.");

    // The first list holds its own two elements, not five; the namesake
    // shows them again, each empty, as every lookup finds the first list.
    Root pLoaded(LoadBytes(first));
    EXPECT_EQ(Outline(pLoaded.get()),
              "-1 [TopLevelStruct] FIXP\r\nV3.2\n"
              "  pair [List] \n"
              "    0 [User-defined Struct: 10] \n"
              "      v [INT] 10\n"
              "    1 [User-defined Struct: 11] \n"
              "      v [INT] 11\n"
              "  pair [List] \n"
              "    0 [User-defined Struct: 10] \n"
              "    1 [User-defined Struct: 11] \n");
    // Saving the reopened document gives the same file, however often.
    std::vector<uint8_t> again = SaveToBytes(pLoaded.get());
    EXPECT_EQ(again, first);
    for (int nRound = 0; nRound < 3; ++nRound) {
        Root pReopened(LoadBytes(again));
        again = SaveToBytes(pReopened.get());
    }
    EXPECT_EQ(again, first);
}

TEST(SaveFixedPoint, AListNamedLikeAnEarlierLeafStillSaves)
{
    COroReportRecorder recorder;
    Root pRoot = NewRoot();
    AddNode(pRoot.get(), ftINT, "x")->SetFromText("5");
    AddList(pRoot.get(), "x", 2, 1);
    AddNode(pRoot.get(), ftBYTE, "after")->SetFromText("1");
    bool bOk = false;
    const std::vector<uint8_t> first = SaveToBytes(pRoot.get(), &bOk);
    // The elements had nowhere to go; everything else is saved.
    ASSERT_TRUE(bOk);
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
    Root pLoaded(LoadBytes(first));
    EXPECT_EQ(Outline(pLoaded.get()),
              "-1 [TopLevelStruct] FIXP\r\nV3.2\n"
              "  x [INT] 5\n"
              "  x [INT] 5\n"
              "  after [BYTE] 1\n");
    // The list read back as its namesake leaf; from then on the file stays.
    const std::vector<uint8_t> second = SaveToBytes(pLoaded.get());
    Root pReloaded(LoadBytes(second));
    EXPECT_EQ(SaveToBytes(pReloaded.get()), second);
}

TEST(SaveFixedPoint, LabelsAgreeingInTheirFirstSixteenCharactersAreNamesakes)
{
    COroReportRecorder recorder;
    Root pRoot = NewRoot();
    AddList(pRoot.get(), "abcdefghijklmnopFIRST", 1, 1);
    AddList(pRoot.get(), "abcdefghijklmnopSECOND", 1, 2);
    const std::vector<uint8_t> first = SaveToBytes(pRoot.get());
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
    Root pLoaded(LoadBytes(first));
    ASSERT_EQ(pLoaded->GetChildCount(), 2);
    EXPECT_EQ(pLoaded->GetChild(0)->GetStructNode()->GetChildCount(), 1);
    EXPECT_EQ(SaveToBytes(pLoaded.get()), first);
}

TEST(SaveFixedPoint, AnEmptyNamesakeListSavesWithoutAWarning)
{
    COroReportRecorder recorder;
    Root pRoot = NewRoot();
    AddList(pRoot.get(), "pair", 1, 1);
    AddList(pRoot.get(), "pair", 0, 0);
    bool bOk = false;
    SaveToBytes(pRoot.get(), &bOk);
    EXPECT_TRUE(bOk);
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(SaveFixedPoint, OnlyFileTypesTheEditorOpensAgainAreSaved)
{
    CTempDir dir;
    const std::string sFile = dir.File("typed.kvt");
    // Letters or digits padded with spaces: saved, and the file opens.
    for (const char* pType : {"AB  ", "    ", "a1B2"}) {
        COroReportRecorder recorder;
        Root pRoot = NewRoot();
        pRoot->m_sFileType = pType;
        AddNode(pRoot.get(), ftBYTE, "b", 0);
        ASSERT_TRUE(pRoot->SaveDocument(sFile.c_str())) << pType;
        EXPECT_TRUE(CheckFileHeader(sFile.c_str())) << pType;
        EXPECT_EQ(recorder.Count(), 0u) << pType;
    }
    // Anything else would be a file the editor then refuses to open: the
    // save fails with one warning, and the file saved before is kept.
    const std::string sBefore = ReadFileText(sFile);
    for (const char* pType : {"A B ", "AB-C", "ab\r\n", " ABC", "AB\tC"}) {
        COroReportRecorder recorder;
        Root pRoot = NewRoot();
        pRoot->m_sFileType = pType;
        AddNode(pRoot.get(), ftBYTE, "b", 0);
        EXPECT_FALSE(pRoot->SaveDocument(sFile.c_str())) << pType;
        ASSERT_EQ(recorder.Count(), 1u) << pType;
        EXPECT_EQ(recorder.Reports()[0].line, 405);
        EXPECT_EQ(recorder.Reports()[0].module, "KVTTreeNodes");
        EXPECT_EQ(ReadFileText(sFile), sBefore) << pType;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
                  1)
            << pType;
    }
}
