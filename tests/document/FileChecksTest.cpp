#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "KVTFileChecks.h"
#include "KVTOpenDocument.h"
#include "KvtImageBuilder.h"
#include "TempDir.h"
#include "ororeport.h"

namespace {

bool HeaderOk(const std::string& sBytes)
{
    CTempDir dir;
    const std::string sFile = dir.File("h.kvt");
    WriteFileText(sFile, sBytes);
    return CheckFileHeader(sFile.c_str());
}

} // namespace

TEST(FileChecks, HeaderAcceptsPaddedFileTypesAndOnlyV32)
{
    EXPECT_TRUE(HeaderOk("ABC V3.2"));
    EXPECT_TRUE(HeaderOk("DATAV3.2 and more"));
    EXPECT_TRUE(HeaderOk("AB  V3.2"));
    EXPECT_TRUE(HeaderOk("    V3.2"));
    EXPECT_TRUE(HeaderOk("a1b2V3.2"));
    EXPECT_FALSE(HeaderOk("ABC V3.3"));
    EXPECT_FALSE(HeaderOk("ABC v3.2"));
    EXPECT_FALSE(HeaderOk("AB-CV3.2"));
    EXPECT_FALSE(HeaderOk("A B V3.2"));
    EXPECT_FALSE(HeaderOk(std::string("AB\0\0V3.2", 8)));
    EXPECT_FALSE(HeaderOk("ABC V3."));
    EXPECT_FALSE(HeaderOk(""));
    EXPECT_FALSE(HeaderOk("\xC4" "BC V3.2"));
    EXPECT_FALSE(CheckFileHeader("/nonexistent/file.kvt"));
}

TEST(FileChecks, ReadOnlyMeansExistingButNotWritable)
{
    CTempDir dir;
    EXPECT_FALSE(IsFileReadOnly(dir.File("missing.kvt").c_str()));
    const std::string sFile = dir.File("f.kvt");
    WriteFileText(sFile, "x");
    EXPECT_FALSE(IsFileReadOnly(sFile.c_str()));
    EXPECT_TRUE(IsFileReadOnly(dir.Path().c_str()));  // a folder cannot be opened for writing
    if (geteuid() != 0) {
        chmod(sFile.c_str(), 0444);
        EXPECT_TRUE(IsFileReadOnly(sFile.c_str()));
    }
}

TEST(FileChecks, OpeningReportsEachFailureWithTheEditorsText)
{
    CTempDir dir;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot;
    const std::string sMissing = dir.File("missing.kvt");
    EXPECT_EQ(OpenKvtDocument(sMissing.c_str(), pRoot), TKvtOpenResult::NotFound);
    EXPECT_EQ(pRoot, nullptr);
    EXPECT_EQ(std::string(GetOpenErrorText(TKvtOpenResult::NotFound, sMissing.c_str()).CStr()),
              "Could not find file '" + sMissing + "'.");

    const std::string sBad = dir.File("bad.kvt");
    WriteFileText(sBad, "NOPEV1.0");
    EXPECT_EQ(OpenKvtDocument(sBad.c_str(), pRoot), TKvtOpenResult::BadHeader);
    EXPECT_STREQ(GetOpenErrorText(TKvtOpenResult::BadHeader, "").CStr(), "Could not open file. The header is invalid.");

    // Passes the header check, but is too short to be a KVT file.
    const std::string sShort = dir.File("short.kvt");
    WriteFileText(sShort, "TESTV3.2 short");
    EXPECT_EQ(OpenKvtDocument(sShort.c_str(), pRoot), TKvtOpenResult::LoadFailed);
    EXPECT_EQ(pRoot, nullptr);
    EXPECT_STREQ(GetOpenErrorText(TKvtOpenResult::LoadFailed, "").CStr(),
                 "Error opening file.  \n\nIs The selected file a KVT file?");
    EXPECT_STREQ(GetSaveErrorText("/x/y.kvt").CStr(),
                 "Could not save file\n  '/x/y.kvt'.\nIt may be in use by another application, or it may be read-only.");
}

namespace {

// Ends whatever raised the report by throwing, as an out-of-memory load would.
class CThrowingReportHandler : public IOroReportHandler {
public:
    TOroReportAnswer Report(const OroReport_st&) override { throw std::runtime_error("stopped"); }
};

} // namespace

TEST(FileChecks, AnExceptionInTheLoadIsALoadFailureAndEndsTheWalk)
{
    CTempDir dir;
    CKvtImageBuilder image;
    // A string whose length runs past the field data block warns as it is read.
    const uint32_t nBad = image.AddFieldData(CKvtImageBuilder::Word(1000));
    image.AddField(KVT_STRING, image.AddLabel("bad"), nBad);
    image.AddStruct(0xFFFFFFFFu, 0, 1);
    const std::string sFile = dir.File("damaged.kvt");
    ASSERT_TRUE(WriteFileBytes(sFile, image.Build()));
    ASSERT_EQ(CheckKvtDocumentName(sFile.c_str()), TKvtOpenResult::Opened);

    CThrowingReportHandler handler;
    IOroReportHandler* pPrevious = SetOroReportHandler(&handler);
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot;
    const TKvtOpenResult nResult = OpenKvtDocument(sFile.c_str(), pRoot);
    SetOroReportHandler(pPrevious);
    EXPECT_EQ(nResult, TKvtOpenResult::LoadFailed);
    EXPECT_EQ(pRoot, nullptr);
    EXPECT_EQ(s_pCurrentRes, nullptr);
}
