// Crafted files whose records share values or whose localized strings hold
// many entries: what one load may allocate is bounded by the file's size.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DocumentTestSupport.h"
#include "KvtHostileShapes.h"
#include "KvtImageBuilder.h"
#include "TempDir.h"
#include "oroalloc.h"
#include "ororeportrecorder.h"

namespace {

using Root = std::unique_ptr<CKvtNodeTopLevelStruct>;

const int32_t kLineValueBudget = 320;
const uint64_t kMiB = 1024 * 1024;

struct LoadFigures_st {
    Root pRoot;
    // Guarded bytes this thread held at most during the load, above what it held before.
    int64_t nPeakBytes;
};

LoadFigures_st LoadMeasured(const std::vector<uint8_t>& image)
{
    const int64_t nBefore = OroGuardedBytesInUse();
    OroGuardedResetPeak();
    Root pRoot(LoadBytes(image));
    return {std::move(pRoot), OroGuardedPeakBytes() - nBefore};
}

// Bytes the value nodes under the root hold.
uint64_t ValueBytes(CKvtNodeStruct* pRoot)
{
    uint64_t nBytes = 0;
    for (int32_t i = 0; i < pRoot->GetChildCount(); ++i) {
        CKvtNodeBase* pChild = pRoot->GetChild(i);
        if (pChild->GetType() == ftSTRING)
            nBytes += static_cast<uint64_t>(static_cast<CKvtNodeSTRING*>(pChild)->m_Value.GetLength());
        else if (pChild->GetType() == ftBINARY)
            nBytes += static_cast<CKvtNodeBINARY*>(pChild)->m_nDataSize;
        else if (pChild->GetType() == ftLOCSTRING)
            nBytes += static_cast<CKvtNodeLOCSTRING*>(pChild)->m_Value.GetCapacity();
    }
    return nBytes;
}

} // namespace

TEST(HostileFile, RecordsSharingOneValueCopyItOnlyWithinTheBudget)
{
    for (uint32_t nType : {KVT_STRING, KVT_BINARY}) {
        COroReportRecorder recorder;
        const std::vector<uint8_t> image = CKvtHostileShapes::SharedValueFields(300, nType, 100000);
        const uint64_t nSize = image.size();
        LoadFigures_st load = LoadMeasured(image);
        ASSERT_TRUE(load.pRoot) << nType;
        ASSERT_EQ(load.pRoot->GetChildCount(), 300) << nType;
        const uint64_t nValues = ValueBytes(load.pRoot.get());
        EXPECT_LE(nValues, 2 * nSize + kMiB) << nType;
        // Every value within the budget is read in full; the later ones stay empty.
        EXPECT_EQ(nValues % 100000, 0u) << nType;
        EXPECT_GE(nValues, 2 * nSize + kMiB - 100000) << nType;
        // The tables (the file's size), the values and the nodes.
        EXPECT_LE(static_cast<uint64_t>(load.nPeakBytes), 4 * nSize + 2 * kMiB) << nType;
        EXPECT_EQ(recorder.CountFrom("KVTTreeNodes", kLineValueBudget), 1u) << nType;
    }
}

TEST(HostileFile, AWrittenFileOfLargeValuesNeverReachesTheBudget)
{
    COroReportRecorder recorder;
    Root pDocument(new CKvtNodeTopLevelStruct);
    pDocument->m_sFileType = "TEST";
    pDocument->m_sVersion = "V3.2";
    for (int i = 0; i < 3; ++i) {
        auto* pString = static_cast<CKvtNodeSTRING*>(AddNode(pDocument.get(), ftSTRING, ("s" + std::to_string(i)).c_str()));
        pString->m_Value = COroString(std::string(700000, static_cast<char>('a' + i)).c_str());
    }
    // A save holds the new file's bytes once: its field data is not moved while it grows.
    CTempDir dir;
    const int64_t nBefore = OroGuardedBytesInUse();
    OroGuardedResetPeak();
    ASSERT_TRUE(pDocument->SaveDocument(dir.File("large.kvt").c_str()));
    const int64_t nSavePeak = OroGuardedPeakBytes() - nBefore;
    const std::vector<uint8_t> image = ReadFileBytes(dir.File("large.kvt"));
    ASSERT_FALSE(image.empty());
    EXPECT_LE(static_cast<uint64_t>(nSavePeak), image.size() + 512 * 1024);
    Root pLoaded(LoadBytes(image));
    ASSERT_TRUE(pLoaded);
    EXPECT_EQ(Outline(pLoaded.get()), Outline(pDocument.get()));
    EXPECT_EQ(ValueBytes(pLoaded.get()), 3u * 700000);
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(HostileFile, SavingStructsOfManyFieldsHoldsTheNewFileOnce)
{
    // Thousands of fields a struct (as far as the load's work budget goes):
    // no table of the file being built is moved while it grows, and the
    // field index arrays are written out without a copy of their area.
    COroReportRecorder recorder;
    LoadFigures_st load = LoadMeasured(CKvtHostileShapes::SharedFieldArrayStructs(200, 4000));
    ASSERT_TRUE(load.pRoot);
    CTempDir dir;
    const int64_t nBefore = OroGuardedBytesInUse();
    OroGuardedResetPeak();
    ASSERT_TRUE(load.pRoot->SaveDocument(dir.File("fields.kvt").c_str()));
    const int64_t nSavePeak = OroGuardedPeakBytes() - nBefore;
    const std::vector<uint8_t> image = ReadFileBytes(dir.File("fields.kvt"));
    ASSERT_GT(image.size(), 100000u);
    EXPECT_LE(static_cast<uint64_t>(nSavePeak), image.size() + 32 * 1024) << image.size();
    Root pLoaded(LoadBytes(image));
    ASSERT_TRUE(pLoaded);
    EXPECT_EQ(Outline(pLoaded.get()), Outline(load.pRoot.get()));
}

TEST(HostileFile, LocalizedStringsOfZeroTextReserveNothing)
{
    COroReportRecorder recorder;
    const std::vector<uint8_t> image = CKvtHostileShapes::ZeroTextLocStrings(1000, 20000);
    LoadFigures_st load = LoadMeasured(image);
    ASSERT_TRUE(load.pRoot);
    ASSERT_EQ(load.pRoot->GetChildCount(), 1000);
    for (int32_t i = 0; i < 1000; ++i)
        EXPECT_EQ(static_cast<CKvtNodeLOCSTRING*>(load.pRoot->GetChild(i))->m_Value.GetStringCount(), 0) << i;
    EXPECT_EQ(ValueBytes(load.pRoot.get()), 0u);
    EXPECT_LE(static_cast<uint64_t>(load.nPeakBytes), 4 * image.size() + 2 * kMiB);
}

TEST(HostileFile, ALocalizedStringOfManyEntriesKeepsThemAllInOrderAndNoMore)
{
    for (bool bReplacing : {false, true}) {
        COroReportRecorder recorder;
        const std::vector<uint8_t> image = CKvtHostileShapes::ManyEntryLocString(100000, bReplacing);
        LoadFigures_st load = LoadMeasured(image);
        ASSERT_TRUE(load.pRoot);
        ASSERT_EQ(load.pRoot->GetChildCount(), 1);
        const COroLocString& value = static_cast<CKvtNodeLOCSTRING*>(load.pRoot->GetChild(0))->m_Value;
        const int32_t nExpected = bReplacing ? 50000 : 100000;
        ASSERT_EQ(value.GetStringCount(), nExpected);
        // Each entry keeps its first place and its latest text.
        for (int32_t i = 0; i < nExpected; i += 997) {
            int32_t nLanguage = -1;
            uint8_t nGender = 9;
            COroString sText;
            ASSERT_TRUE(value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender));
            EXPECT_EQ(nLanguage * 2 + nGender, 2 + i);
            EXPECT_STREQ(sText.CStr(), bReplacing ? "yz" : std::string(1, static_cast<char>('a' + i % 26)).c_str());
        }
        // The entries' buffer holds exactly the entries: 8 header bytes, the text and its terminator.
        EXPECT_EQ(value.GetCapacity(), static_cast<size_t>(nExpected) * (bReplacing ? 11 : 10));
        EXPECT_LE(static_cast<uint64_t>(load.nPeakBytes), 8 * image.size() + 2 * kMiB) << bReplacing;
        EXPECT_EQ(recorder.Count(), 0u);
        // Saving writes the same value back.
        const std::vector<uint8_t> saved = SaveToBytes(load.pRoot.get());
        Root pAgain(LoadBytes(saved));
        ASSERT_TRUE(pAgain);
        EXPECT_EQ(static_cast<CKvtNodeLOCSTRING*>(pAgain->GetChild(0))->m_Value.GetStringCount(), nExpected);
    }
}
