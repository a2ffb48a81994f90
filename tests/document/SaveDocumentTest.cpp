#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "DocumentTestSupport.h"
#include "KvtImageBuilder.h"
#include "filefaults.h"
#include "TempDir.h"
#include "ororeportrecorder.h"

namespace {

using Root = std::unique_ptr<CKvtNodeTopLevelStruct>;

Root NewRoot(const char* pFileType = "ABCD")
{
    Root pRoot(new CKvtNodeTopLevelStruct);
    pRoot->m_sFileType = pFileType;
    pRoot->m_sVersion = "V9.9";
    return pRoot;
}

// A document with a value of every type, nested structs and lists.
Root RichDocument()
{
    Root pRoot = NewRoot("RICH");
    const char* labels[] = {"b", "c", "w", "s", "dw", "i", "dw64", "i64", "f", "d", "str", "ref", "loc", "bin"};
    const char* values[] = {"200", "-3", "60000", "-300", "4000000000", "-7", "0x123456789", "-99",
                            "1.25", "2.5", "text value", "Res_Name", "42", ""};
    for (int32_t nType = 0; nType <= 13; ++nType) {
        CKvtNodeBase* pNode = AddNode(pRoot.get(), static_cast<TKvtFieldType>(nType), labels[nType], nType);
        pNode->SetFromText(values[nType]);
    }
    auto* pLoc = static_cast<CKvtNodeLOCSTRING*>(pRoot->GetChild(12));
    pLoc->m_Value.AddString(0, "neutral", 0);
    pLoc->m_Value.AddString(3, "feminine", 1);
    auto* pBin = static_cast<CKvtNodeBINARY*>(pRoot->GetChild(13));
    pBin->m_pData = new uint8_t[4]{0, 1, 254, 255};
    pBin->m_nDataSize = 4;
    CKvtNodeStruct* pStruct = AddNode(pRoot.get(), ftSTRUCT, "inner", 14)->GetStructNode();
    pStruct->SetStructID(77);
    AddNode(pStruct, ftSTRING, "deep", 0)->SetFromText("x");
    CKvtNodeStruct* pList = AddNode(pRoot.get(), ftLIST, "list", 15)->GetStructNode();
    for (int32_t j = 0; j < 3; ++j) {
        CKvtNodeStruct* pElement = AddNode(pList, ftSTRUCT, "", j)->GetStructNode();
        pElement->SetStructID(static_cast<uint32_t>(100 + j));
        AddNode(pElement, ftINT, "n", 0)->SetFromText(std::to_string(j).c_str());
        AddNode(pElement, ftLIST, "sub", 1);
    }
    AddNode(pRoot.get(), ftLIST, "empty", 16);
    return pRoot;
}

} // namespace

TEST(SaveDocument, EmptyDocumentIsThe68ByteFile)
{
    Root pRoot = NewRoot("ABCD");
    bool bOk = false;
    const std::vector<uint8_t> bytes = SaveToBytes(pRoot.get(), &bOk);
    ASSERT_TRUE(bOk);
    ASSERT_EQ(bytes.size(), 68u);
    EXPECT_EQ(std::memcmp(bytes.data(), "ABCDV3.2", 8), 0);  // the version is always V3.2
    EXPECT_EQ(ReadWord(bytes, 8), 56u);
    EXPECT_EQ(ReadWord(bytes, 12), 1u);
    for (size_t nOffset = 16; nOffset < 56; nOffset += 8) {
        EXPECT_EQ(ReadWord(bytes, nOffset), 68u) << nOffset;
        EXPECT_EQ(ReadWord(bytes, nOffset + 4), 0u) << nOffset;
    }
    EXPECT_EQ(ReadWord(bytes, 56), 0xFFFFFFFFu);
    EXPECT_EQ(ReadWord(bytes, 60), 0xFFFFFFFFu);
    EXPECT_EQ(ReadWord(bytes, 64), 0u);
}

TEST(SaveDocument, AShortFileTypeFailsAtOnceWithOneWarning)
{
    COroReportRecorder recorder;
    Root pRoot = NewRoot("AB");
    for (int i = 0; i < 50; ++i) {
        CKvtNodeBase* pNode = CreateKvtNode(ftBYTE);
        pNode->m_sLabel.Format("f%d", i);
        pRoot->AddChild(pNode);
    }
    CTempDir dir;
    const std::string sPath = dir.File("short.kvt");
    EXPECT_FALSE(pRoot->SaveDocument(sPath.c_str()));
    EXPECT_EQ(recorder.Count(), 1u);
    EXPECT_FALSE(std::filesystem::exists(sPath));
}

TEST(SaveDocument, RecordsFollowTheDepthFirstOrder)
{
    Root pRoot = NewRoot();
    AddNode(pRoot.get(), ftBYTE, "a");
    CKvtNodeStruct* pS = AddNode(pRoot.get(), ftSTRUCT, "s")->GetStructNode();
    AddNode(pS, ftBYTE, "x");
    AddNode(pRoot.get(), ftINT, "b");
    const std::vector<uint8_t> bytes = SaveToBytes(pRoot.get());
    ASSERT_FALSE(bytes.empty());
    const uint32_t nFields = ReadWord(bytes, 16);
    ASSERT_EQ(ReadWord(bytes, 20), 4u);
    ASSERT_EQ(ReadWord(bytes, 12), 2u);
    const uint32_t nLabels = ReadWord(bytes, 24);
    const char* expected[] = {"a", "s", "x", "b"};
    for (uint32_t i = 0; i < 4; ++i) {
        const uint32_t nLabelIndex = ReadWord(bytes, nFields + 12 * i + 4);
        EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[nLabels + 16 * nLabelIndex]), expected[i]);
    }
}

TEST(SaveDocument, ListElementsTakeConsecutiveStructsBeforeTheirContents)
{
    Root pRoot = NewRoot();
    CKvtNodeStruct* pList = AddNode(pRoot.get(), ftLIST, "L")->GetStructNode();
    for (int32_t j = 0; j < 2; ++j) {
        CKvtNodeStruct* pElement = AddNode(pList, ftSTRUCT, "", j)->GetStructNode();
        pElement->SetStructID(j == 0 ? 7u : 8u);
        AddNode(pElement, ftSTRUCT, "nested")->GetStructNode()->SetStructID(static_cast<uint32_t>(30 + j));
    }
    const std::vector<uint8_t> bytes = SaveToBytes(pRoot.get());
    ASSERT_EQ(ReadWord(bytes, 12), 5u);
    const uint32_t nStructs = ReadWord(bytes, 8);
    EXPECT_EQ(ReadWord(bytes, nStructs + 12 * 1), 7u);
    EXPECT_EQ(ReadWord(bytes, nStructs + 12 * 2), 8u);
    EXPECT_EQ(ReadWord(bytes, nStructs + 12 * 3), 30u);
    EXPECT_EQ(ReadWord(bytes, nStructs + 12 * 4), 31u);
}

TEST(SaveDocument, LoadingAndSavingAgainGivesTheSameBytes)
{
    COroReportRecorder recorder;
    Root pRoot = RichDocument();
    const std::vector<uint8_t> first = SaveToBytes(pRoot.get());
    ASSERT_FALSE(first.empty());
    Root pLoaded(LoadBytes(first));
    // Everything survives but the version, which is always written as V3.2.
    std::string sExpected = Outline(pRoot.get());
    sExpected.replace(sExpected.find("V9.9"), 4, "V3.2");
    EXPECT_EQ(Outline(pLoaded.get()), sExpected);
    const std::vector<uint8_t> second = SaveToBytes(pLoaded.get());
    EXPECT_EQ(first, second);
    EXPECT_EQ(SaveToBytes(pRoot.get()), first);  // saving the same tree twice
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(SaveDocument, AnyNodeUnderAListBecomesAnElement)
{
    COroReportRecorder recorder;
    Root pRoot = NewRoot();
    CKvtNodeStruct* pList = AddNode(pRoot.get(), ftLIST, "L")->GetStructNode();
    AddNode(pList, ftBYTE, "leaf")->SetFromText("5");
    CKvtNodeStruct* pInnerList = AddNode(pList, ftLIST, "inner")->GetStructNode();
    AddNode(pInnerList, ftSTRUCT, "", 0)->SetStructID(4);
    Root pLoaded(LoadBytes(SaveToBytes(pRoot.get())));
    // A leaf element keeps nothing of its value; a list element's fields are
    // its own elements, each a struct field without a label.
    EXPECT_EQ(Outline(pLoaded.get()),
              "-1 [TopLevelStruct] ABCD\r\nV3.2\n"
              "  L [List] \n"
              "    0 [User-defined Struct: 0] \n"
              "    1 [User-defined Struct: 0] \n"
              "      0 [User-defined Struct: 4] \n");
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(SaveDocument, ARootCopyBelowTheRootIsNotWritten)
{
    COroReportRecorder recorder;
    Root pRoot = NewRoot();
    CKvtNodeBase* pCopy = CloneKvtNode(pRoot.get());
    pCopy->m_sLabel = "copy";
    pRoot->AddChild(pCopy);
    AddNode(pRoot.get(), ftBYTE, "after")->SetFromText("1");
    Root pLoaded(LoadBytes(SaveToBytes(pRoot.get())));
    EXPECT_EQ(Outline(pLoaded.get()), "-1 [TopLevelStruct] ABCD\r\nV3.2\n  after [BYTE] 1\n");
    ASSERT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
    EXPECT_EQ(recorder.Reports()[0].message,
              "WARNING!  Strangeness happening, non list or struct type saying it is one.!");
}

TEST(SaveDocument, ZeroLengthBinaryWritesAnEmptyValue)
{
    Root pRoot = NewRoot();
    AddNode(pRoot.get(), ftBINARY, "blob");
    const std::vector<uint8_t> bytes = SaveToBytes(pRoot.get());
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(ReadWord(bytes, 36), 4u);  // field data: just the count 0
    Root pLoaded(LoadBytes(bytes));
    auto* pBlob = static_cast<CKvtNodeBINARY*>(pLoaded->GetChild(0));
    EXPECT_EQ(pBlob->m_nDataSize, 0u);
    EXPECT_EQ(pBlob->m_pData, nullptr);
}

TEST(SaveDocument, DeepTreesFromPastesSaveWithoutRecursion)
{
    COroReportRecorder recorder;
    Root pRoot = NewRoot();
    CKvtNodeStruct* pTip = pRoot.get();
    for (int i = 0; i < 20000; ++i)
        pTip = AddNode(pTip, i % 3 == 2 ? ftLIST : ftSTRUCT, "n")->GetStructNode();
    AddNode(pTip, ftINT, "v")->SetFromText("9");
    bool bOk = false;
    const std::vector<uint8_t> bytes = SaveToBytes(pRoot.get(), &bOk);
    EXPECT_TRUE(bOk);
    EXPECT_GT(bytes.size(), 20000u * 12u);
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(SaveDocument, AFailedSaveLeavesTheOldFileUntouched)
{
    COroReportRecorder recorder;
    CTempDir dir;
    const std::string sFile = dir.File("doc.kvt");
    const std::vector<uint8_t> old{'o', 'l', 'd', ' ', 'b', 'y', 't', 'e', 's'};
    ASSERT_TRUE(WriteFileBytes(sFile, old));
    Root pRoot = NewRoot("AB");  // a file type under 4 characters cannot be written
    AddNode(pRoot.get(), ftBYTE, "a");
    EXPECT_FALSE(pRoot->SaveDocument(sFile.c_str()));
    EXPECT_EQ(ReadFileBytes(sFile), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
              1);
    EXPECT_GE(recorder.CountFrom("KVTTreeNodes"), 1u);
}

TEST(SaveDocument, SavingOverAFolderOrIntoAMissingFolderFails)
{
    CTempDir dir;
    std::filesystem::create_directory(dir.File("sub"));
    Root pRoot = NewRoot();
    EXPECT_FALSE(pRoot->SaveDocument(dir.File("sub").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("sub")));
    EXPECT_FALSE(pRoot->SaveDocument(dir.File("missing/doc.kvt").c_str()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
              1);
}

TEST(SaveDocument, PermissionsAreKeptAndLinksWrittenThrough)
{
    CTempDir dir;
    const std::string sTarget = dir.File("real.kvt");
    const std::string sLink = dir.File("link.kvt");
    ASSERT_TRUE(WriteFileText(sTarget, "old"));
    ASSERT_EQ(chmod(sTarget.c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.kvt", sLink.c_str()), 0);
    Root pRoot = NewRoot();
    ASSERT_TRUE(pRoot->SaveDocument(sLink.c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(sLink));
    EXPECT_EQ(ReadFileBytes(sTarget).size(), 68u);
    struct stat info {};
    ASSERT_EQ(stat(sTarget.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(SaveDocument, AFolderWithoutWritePermissionFailsCleanly)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    CTempDir dir;
    const std::string sFile = dir.File("doc.kvt");
    ASSERT_TRUE(WriteFileText(sFile, "old"));
    ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
    Root pRoot = NewRoot();
    EXPECT_FALSE(pRoot->SaveDocument(sFile.c_str()));
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(ReadFileText(sFile), "old");
}

TEST(SaveDocument, ADanglingLinkGetsItsTargetCreated)
{
    CTempDir dir;
    const std::string sLink = dir.File("link.kvt");
    ASSERT_EQ(symlink("made.kvt", sLink.c_str()), 0);
    Root pRoot = NewRoot();
    ASSERT_TRUE(pRoot->SaveDocument(sLink.c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(sLink));
    EXPECT_EQ(ReadFileBytes(dir.File("made.kvt")).size(), 68u);
}

TEST(SaveDocument, AReadOnlyFileIsNotReplaced)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    CTempDir dir;
    const std::string sFile = dir.File("locked.kvt");
    ASSERT_TRUE(WriteFileText(sFile, "old"));
    ASSERT_EQ(chmod(sFile.c_str(), 0444), 0);
    Root pRoot = NewRoot();
    EXPECT_FALSE(pRoot->SaveDocument(sFile.c_str()));
    EXPECT_EQ(ReadFileText(sFile), "old");
}

TEST(SaveDocument, WriteAndRenameFaultsLeaveTheOldFileAndNoTemporary)
{
    CTempDir dir;
    const std::string sFile = dir.File("doc.kvt");
    Root pOld = NewRoot("OLDD");
    ASSERT_TRUE(pOld->SaveDocument(sFile.c_str()));
    const std::vector<uint8_t> old = ReadFileBytes(sFile);
    Root pNew = RichDocument();
    for (int64_t nBudget : {0, 1, 56, 100, 300}) {
        SetFileWriteFault(nBudget);
        EXPECT_FALSE(pNew->SaveDocument(sFile.c_str())) << nBudget;
        SetFileWriteFault(-1);
        EXPECT_EQ(ReadFileBytes(sFile), old) << nBudget;
    }
    SetFileRenameFault(true);
    EXPECT_FALSE(pNew->SaveDocument(sFile.c_str()));
    SetFileRenameFault(false);
    EXPECT_EQ(ReadFileBytes(sFile), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);
    EXPECT_TRUE(pNew->SaveDocument(sFile.c_str()));
    EXPECT_NE(ReadFileBytes(sFile), old);
}
