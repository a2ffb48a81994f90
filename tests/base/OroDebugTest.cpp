#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "TempDir.h"
#include "orobase.h"
#include "ororeportrecorder.h"

TEST(OroDebug, WarningTextWithAndWithoutMessage)
{
    COroReportRecorder recorder;
    COroDebug debug;
    debug.Warning("module", 12, "careful");
    debug.Warning("module", 13, "");
    debug.Warning("module", 14, nullptr);
    ASSERT_EQ(recorder.Count(), 3u);
    const auto& r = recorder.Reports();
    EXPECT_EQ(r[0].kind, TOroReportKind::Warning);
    EXPECT_EQ(r[0].caption, "Oro Warning");
    EXPECT_EQ(r[0].text, "A warning has occured:\n\n File: module\n\nLine #: 12 \n\nProgrammer says: careful\n\n"
                         "Press Abort to quit, Retry to debug, or Ignore to continue");
    // An empty message still gives the "Programmer says" line.
    EXPECT_EQ(r[1].text, "A warning has occured:\n\n File: module\n\nLine #: 13 \n\nProgrammer says: \n\n"
                         "Press Abort to quit, Retry to debug, or Ignore to continue");
    EXPECT_TRUE(r[1].hasMessage);
    EXPECT_EQ(r[2].text, "A warning has occured:\n\n File: module\n\nLine #: 14\n\n"
                         "Press Abort to quit, Retry to debug, or Ignore to continue");
    EXPECT_FALSE(r[2].hasMessage);
}

TEST(OroDebug, WarningsReachTheHandlerWithAndWithoutTheRootObject)
{
    COroReportRecorder recorder;
    ASSERT_EQ(g_pOroBase, nullptr);
    OroWarning("early", 1, nullptr);
    g_pOroBase = new COroBase;
    OroWarning("running", 2, "msg");
    delete g_pOroBase;
    g_pOroBase = nullptr;
    ASSERT_EQ(recorder.Count(), 2u);
    EXPECT_EQ(recorder.Reports()[0].module, "early");
    EXPECT_EQ(recorder.Reports()[1].module, "running");
    EXPECT_EQ(recorder.Reports()[1].message, "msg");
}

TEST(OroDebug, RetryWithoutADebuggerActsAsIgnore)
{
    class CRetryHandler : public IOroReportHandler {
    public:
        int nCalls = 0;
        TOroReportAnswer Report(const OroReport_st&) override
        {
            ++nCalls;
            return TOroReportAnswer::Retry;
        }
    } handler;
    IOroReportHandler* pOld = SetOroReportHandler(&handler);
    OroWarning("m", 1, nullptr);
    SetOroReportHandler(pOld);
    EXPECT_EQ(handler.nCalls, 1);
}

TEST(OroDebugDeathTest, AssertShowsItsTextAndEndsTheProgram)
{
    EXPECT_DEATH(OroAssert("orobase", 54, "broken"),
                 "Oro Assert: An Assertion failed in orobase\n\nLine number 54 \n\nProgrammer says: broken");
    EXPECT_DEATH(OroAssert("orobase", 55, nullptr), "Oro Assert: An Assertion failed in orobase\n\nLine number 55");
}

TEST(OroDebugDeathTest, AbortAnswerEndsTheProgram)
{
    class CAbortHandler : public IOroReportHandler {
    public:
        TOroReportAnswer Report(const OroReport_st&) override { return TOroReportAnswer::Abort; }
    };
    EXPECT_DEATH(
        {
            CAbortHandler handler;
            SetOroReportHandler(&handler);
            OroWarning("m", 1, nullptr);
        },
        "");
}

TEST(OroDebug, WriteToErrorFileProducesNoFileAndNoOutput)
{
    CTempDir dir;
    CScopedWorkingDir cwd(dir.Path());
    COroDebug debug;
    debug.message.Format("OroResMan CRes::~CRes(): CRes destroyed while still in demand. RESID: %ld\n", -1L);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    debug.WriteToErrorFile(debug.message);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(OroBase, RootObjectOwnsItsDebugAndIniObjects)
{
    COroBase base;
    ASSERT_NE(base.debug, nullptr);
    ASSERT_NE(base.ini, nullptr);
}
