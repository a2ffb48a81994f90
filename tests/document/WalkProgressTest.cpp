// The load, save and export walks report their progress to the observer and
// stop when it asks: a stopped load or save reports failure, a stopped save
// leaves the file it would replace and its folder as they were, a stopped
// export gives only part of the text.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "DocumentTestSupport.h"
#include "KVTExport.h"
#include "KVTWalkProgress.h"
#include "TempDir.h"
#include "ororeportrecorder.h"

namespace {

// Records every report; asks the walk to stop at report nStopAt (1-based;
// 0: never).
class CRecordingProgress : public IKvtWalkProgress {
public:
    explicit CRecordingProgress(size_t nStopAt) : m_nStopAt(nStopAt), m_pPrevious(SetKvtWalkProgress(this)) {}
    ~CRecordingProgress() override { SetKvtWalkProgress(m_pPrevious); }
    CRecordingProgress(const CRecordingProgress&) = delete;
    CRecordingProgress& operator=(const CRecordingProgress&) = delete;

    bool WalkProgress(uint64_t nDone, uint64_t nTotal) override
    {
        m_Reports.emplace_back(nDone, nTotal);
        return m_Reports.size() != m_nStopAt;
    }
    const std::vector<std::pair<uint64_t, uint64_t>>& Reports() const { return m_Reports; }

private:
    size_t m_nStopAt;
    IKvtWalkProgress* m_pPrevious;
    std::vector<std::pair<uint64_t, uint64_t>> m_Reports;
};

// A list of 50 structs of 10 fields: 551 nodes below the root.
std::unique_ptr<CKvtNodeTopLevelStruct> ListDocument()
{
    auto pRoot = std::make_unique<CKvtNodeTopLevelStruct>();
    pRoot->m_sFileType = "TEST";
    pRoot->m_sVersion = "V3.2";
    CKvtNodeStruct* pList = AddNode(pRoot.get(), ftLIST, "Items")->GetStructNode();
    for (int32_t s = 0; s < 50; ++s) {
        CKvtNodeStruct* pElement = AddNode(pList, ftSTRUCT, "", s)->GetStructNode();
        for (int32_t f = 0; f < 10; ++f)
            AddNode(pElement, ftBYTE, ("F" + std::to_string(f)).c_str(), f);
    }
    return pRoot;
}

size_t CountEntries(const std::string& sFolder)
{
    size_t nCount = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(sFolder))
        ++nCount;
    return nCount;
}

} // namespace

TEST(WalkProgress, WalksReportTheirProgressAndStopWhenAsked)
{
    COroReportRecorder recorder;
    CTempDir dir;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = ListDocument();
    const std::string sPath = dir.File("list.kvt");
    ASSERT_TRUE(pRoot->SaveDocument(sPath.c_str()));
    const std::string sSaved = ReadFileText(sPath);
    const std::string sExport = BuildExportText(pRoot.get());

    const std::vector<std::pair<const char*, std::function<bool()>>> walks = {
        {"load", [&]() { return CKvtNodeTopLevelStruct().LoadDocument(sPath.c_str()); }},
        {"save", [&]() { return pRoot->SaveDocument(sPath.c_str()); }},
        {"export", [&]() { return BuildExportText(pRoot.get()) == sExport; }},
    };
    for (const auto& [pName, walk] : walks) {
        SCOPED_TRACE(pName);
        {
            // A report every 64 nodes, each further on, none past its total.
            CRecordingProgress progress(0);
            EXPECT_TRUE(walk());
            ASSERT_GE(progress.Reports().size(), 8u);
            uint64_t nLast = 0;
            for (const auto& [nDone, nTotal] : progress.Reports()) {
                EXPECT_GT(nDone, nLast);
                EXPECT_LE(nDone, nTotal);
                nLast = nDone;
            }
        }
        // Stopped at the second report: the walk fails, and the file and
        // its folder are as the last complete save left them.
        CRecordingProgress stop(2);
        EXPECT_FALSE(walk());
        EXPECT_EQ(stop.Reports().size(), 2u);
        EXPECT_EQ(ReadFileText(sPath), sSaved);
        EXPECT_EQ(CountEntries(dir.Path()), 1u);
    }
    EXPECT_EQ(recorder.Count(), 0u);
}
