// The round trip of the JSON form on every file of the fuzz corpora: what
// opens converts to JSON and back into the very bytes a resave writes, and
// the JSON of the resaved file is the same text whenever that file reopens as
// the tree it was saved from.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "DocumentTestSupport.h"
#include "KVTJsonReader.h"
#include "KVTJsonWriter.h"
#include "TempDir.h"
#include "ororeportrecorder.h"

TEST(JsonCorpus, EveryCorpusFileReachesTheRoundTripsFixedPoint)
{
    const char* pSource = std::getenv("KVT_TEST_SOURCE_DIR");
    ASSERT_NE(pSource, nullptr);
    COroReportRecorder recorder; // damaged corpus files warn; that is their point
    size_t nOpened = 0;
    size_t nSameTree = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(pSource) + "/fuzz/corpus")) {
        if (!entry.is_regular_file())
            continue;
        const std::string sName = entry.path().string();
        bool bRefused = false;
        std::unique_ptr<CKvtNodeTopLevelStruct> pRoot(LoadBytes(ReadFileBytes(sName), &bRefused));
        if (bRefused)
            continue;
        ++nOpened;
        const std::string sJson = CKvtJsonWriter::ToString(pRoot.get());
        std::string sError;
        std::unique_ptr<CKvtNodeTopLevelStruct> pBack = CKvtJsonReader::FromText(sJson.c_str(), sJson.size(), sError);
        ASSERT_TRUE(pBack) << sName << ": " << sError;
        bool bSavedA = false;
        bool bSavedB = false;
        const std::vector<uint8_t> resaved = SaveToBytes(pRoot.get(), &bSavedA);
        EXPECT_EQ(SaveToBytes(pBack.get(), &bSavedB), resaved) << sName;
        EXPECT_EQ(bSavedA, bSavedB) << sName;
        if (!bSavedA)
            continue;
        std::unique_ptr<CKvtNodeTopLevelStruct> pReopened(LoadBytes(resaved));
        if (Outline(pReopened.get()) != Outline(pRoot.get()))
            continue;
        ++nSameTree;
        EXPECT_EQ(CKvtJsonWriter::ToString(pReopened.get()), sJson) << sName;
    }
    EXPECT_GT(nOpened, 10u);
    EXPECT_GT(nSameTree, 5u);
    std::printf("%zu corpus files opened, %zu reopen as the same tree after a resave\n", nOpened, nSameTree);
}
