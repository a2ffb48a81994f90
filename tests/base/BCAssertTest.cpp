#include <gtest/gtest.h>

#include "Bcdebug.h"
#include "ororeportrecorder.h"

TEST(BCAssert, ReportsModuleAndLineThenRequestsShutdown)
{
    COroReportRecorder recorder;
    int nShutdowns = 0;
    SetBCShutdownRequest([&nShutdowns] { ++nShutdowns; });
    SetBCAssertCaption("KVT Editor v1.0.0.0");
    BCAssert("KVTEditorMain", 294);
    SetBCShutdownRequest(nullptr);
    SetBCAssertCaption("");
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.Reports()[0].kind, TOroReportKind::BCAssert);
    EXPECT_EQ(recorder.Reports()[0].text, "Assertion Failed: KVTEditorMain, Line: 294");
    EXPECT_EQ(recorder.Reports()[0].caption, "KVT Editor v1.0.0.0");
    EXPECT_EQ(nShutdowns, 1);
}

TEST(BCAssert, WithoutAShutdownRequestItOnlyReports)
{
    COroReportRecorder recorder;
    BCAssert("m", 1);
    EXPECT_EQ(recorder.Count(), 1u);
}
